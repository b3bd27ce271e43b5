#include "skinpreview.h"

#include <QPainter>

#include "skinbackground.h"
#include "skinlayout.h"

using namespace SkinLayout;

namespace {

QImage keyedOut(const QImage &picture, QRgb key)
{
    QImage keyed = picture.convertToFormat(QImage::Format_ARGB32);
    keyed.setAlphaChannel(picture.createMaskFromColor(key, Qt::MaskOutColor));
    return keyed;
}

// The bars' groove as the track bar draws it: 5 high, 4 below the top, a thumb's half in from
// either end, in a two-ring lowered frame around a white fill.
QRect grooveOf(const QRect &bar, int thumbWidth)
{
    const int half = thumbWidth / 2;
    return {bar.left() + 1 + half, bar.top() + 4, bar.width() - 2 - 2 * half, 5};
}

void drawBar(QPainter &painter, const QRect &bar, const QImage &thumb, double fraction)
{
    const int frameWidth = thumb.width() / 2;
    const QRect groove = grooveOf(bar, frameWidth);
    painter.fillRect(groove, Qt::white);
    painter.setPen(QColor(160, 160, 160));
    painter.drawLine(groove.topLeft(), groove.topRight());
    painter.drawLine(groove.topLeft(), groove.bottomLeft());
    painter.setPen(QColor(105, 105, 105));
    painter.drawLine(groove.topLeft() + QPoint(1, 1), groove.topRight() + QPoint(-1, 1));
    const int travel = bar.width() - 2 - frameWidth;
    const QPoint at(bar.left() + 1 + int(travel * fraction),
                    groove.top() - (thumb.height() - 5) / 2);
    painter.drawImage(
        at,
        keyedOut(thumb, thumb.pixel(0, thumb.height() - 1)).copy(0, 0, frameWidth, thumb.height()));
}

void drawTransport(QPainter &painter, const SkinPictures &pictures)
{
    for (int index = Previous; index <= Next; ++index) {
        const QImage &strip = pictures.transport[size_t(index)];
        const QRect button = transportButton(index);
        // The Previous Song button is drawn transparently; the others fill their face.
        if (index != Previous)
            painter.fillRect(button, strip.pixelColor(0, 0));
        const int frameWidth = strip.width() / 4;
        const int frame = index == Pause ? 3 : 0; // Pause shows latched down
        const QImage glyph = keyedOut(strip, strip.pixel(0, strip.height() - 1))
                                 .copy(frame * frameWidth, 0, frameWidth, strip.height());
        painter.drawImage(button.left() + (button.width() - frameWidth) / 2,
                          button.top() + (button.height() - strip.height()) / 2, glyph);
    }
}

void drawTexts(QPainter &painter, const SkinTheme &theme, QColor buttonFace)
{
    QFont font(theme.fontFamily);
    font.setPointSize(8);
    painter.setFont(font);
    painter.setPen(theme.text);
    painter.drawText(VolumeLabel, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Volume:"));
    painter.drawText(PriorityLabel, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Priority:"));
    painter.drawText(StatusLine, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("128 kbit/s, 44100 Hz, Joint Stereo"));
    painter.drawText(SongText, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                     QStringLiteral("Lowland Choir - Evening Over the Harbour"));
    const char *songs[] = {"Lowland Choir - Evening Over the Harbour",
                           "The Quiet Ferns - Glasswork",
                           "Mara Vell - Paper Lanterns",
                           "North Radio - Static Bloom",
                           "Tide & Timber - Driftwood",
                           "Oskar Lind - Blue Hour",
                           "Sundial - Long Shadows",
                           "The Hollow Pines - Ember"};
    for (int row = 0; row < 8; ++row) {
        const QRect item(SongList.left(), SongList.top() + 16 * row, SongList.width(), 16);
        painter.setPen(theme.text);
        if (row == 2) {
            painter.fillRect(item, QColor(48, 140, 198)); // a selected row
            painter.setPen(QColor(254, 254, 254));
        }
        painter.drawText(item.adjusted(2, 0, -2, -1), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromUtf8(songs[row]));
    }
    QFont led(QStringLiteral("Liberation Mono"));
    led.setPixelSize(18);
    painter.setFont(led);
    painter.setPen(theme.text);
    painter.drawText(TimeDisplay.adjusted(2, 2, 0, -8), Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("02:47"));
    painter.setFont(font);
    const char *menus[] = {"Songs", "Options", "Help"};
    for (int index = 0; index < 3; ++index) {
        const QRect button = MenuButtons[size_t(index)];
        painter.setPen(buttonFace.darker(200));
        painter.setBrush(buttonFace);
        painter.drawRoundedRect(QRectF(button).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        painter.setPen(theme.text);
        painter.drawText(button, Qt::AlignCenter, QString::fromLatin1(menus[index]));
    }
    painter.setBrush(Qt::NoBrush);
}

} // namespace

QImage skinPreview(const SkinTheme &theme, const SkinPictures &pictures)
{
    QImage preview = pictures.background.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < preview.height(); ++y)
        for (int x = 0; x < preview.width(); ++x)
            if (preview.pixel(x, y) == KeyColour)
                preview.setPixel(x, y, qRgb(0, 0, 0));
    QPainter painter(&preview);
    drawTransport(painter, pictures);
    drawBar(painter, ProgressBar, pictures.progressThumb, 0.4);
    drawBar(painter, VolumeBar, pictures.volumeThumb, 0.7);
    drawBar(painter, PriorityBar, pictures.priorityThumb, 0.5);
    // The window buttons in their unskinned grey.
    painter.fillRect(QRect(WindowButtons.topLeft(), QSize(15, 15)), QColor(239, 239, 239));
    painter.fillRect(QRect(WindowButtons.topLeft() + QPoint(14, 0), QSize(15, 15)),
                     QColor(239, 239, 239));
    drawTexts(painter, theme, pictures.transport[Play].pixelColor(0, 0));
    return preview;
}
