// The playlist as the main window shows it: 231 x 217, no border, 16-pixel rows, lime text,
// transparent over the skin.
#include <QLinearGradient>
#include <QPainter>
#include <QWidget>

#include "gallery.h"
#include "imagelistbox.h"

namespace {

// Stands in for the skin: a dark gradient with a light grid, so that any row that paints over
// it instead of letting it through shows at once.
class SkinBackground : public QWidget {
public:
    SkinBackground() { resize(231, 217); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, width(), height());
        gradient.setColorAt(0, QColor(16, 32, 72));
        gradient.setColorAt(1, QColor(40, 8, 56));
        painter.fillRect(rect(), gradient);
        painter.setPen(QColor(70, 90, 140));
        for (int x = 0; x < width(); x += 12)
            painter.drawLine(x, 0, x, height());
        for (int y = 0; y < height(); y += 12)
            painter.drawLine(0, y, width(), y);
    }
};

QImage renderSongList(int songs, int selected)
{
    SkinBackground skin;
    auto *list = new TLMDImageListBox(&skin);
    list->setGeometry(0, 0, 231, 217);
    list->setBorderStyle(TLMDImageListBox::bsNone);
    list->setTransparent(true);
    list->setItemHeight(16);
    list->setFontColor(Qt::green);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    list->setFont(font);
    static const char *const titles[] = {"Intro",         "Morning Tide", "Glass Harbour",
                                         "Lanterns",      "Slow Engines", "Paper Moon",
                                         "Northbound",    "Copper Rain",  "Quiet Static",
                                         "Long Way Home", "Ember",        "Outro"};
    QStringList rows;
    for (int i = 0; i < songs; ++i)
        rows << QStringLiteral("%1.- %2").arg(i + 1).arg(QLatin1String(titles[i % 12]));
    list->setItems(rows);
    list->setItemIndex(selected);
    return skin.grab().toImage();
}

GalleryRegistration registration({
    {"imagelistbox-songlist", [] { return renderSongList(12, 3); }},
    {"imagelistbox-songlist-scrolled", [] { return renderSongList(40, 39); }},
    {"imagelistbox-empty", [] { return renderSongList(0, -1); }},
});

} // namespace
