// The stock controls as the main window and the Preferences dialog use them.
#include <QDialog>
#include <QMenu>
#include <QPainter>

#include "aboutdialog.h"
#include "gallery.h"
#include "label.h"
#include "menubutton.h"
#include "panelfill.h"
#include "speedbutton.h"
#include "spinedit.h"

namespace {

const QColor skinBackground(16, 32, 74);
const QColor skinText(0, 179, 214);
const QColor lime(0, 255, 0);

enum class Symbol { Previous, Play, Pause, Stop, Next };

void drawSymbol(QPainter &painter, Symbol symbol, QRect box)
{
    const int mid = box.center().y();
    auto triangle = [&](int left, int right) {
        const int half = std::abs(right - left);
        painter.drawPolygon(
            QPolygon({QPoint(left, mid - half), QPoint(right, mid), QPoint(left, mid + half)}));
    };
    switch (symbol) {
    case Symbol::Play:
        triangle(box.left() + 4, box.left() + 10);
        break;
    case Symbol::Pause:
        painter.drawRect(box.left() + 3, box.top() + 4, 2, 7);
        painter.drawRect(box.left() + 8, box.top() + 4, 2, 7);
        break;
    case Symbol::Stop:
        painter.drawRect(box.left() + 4, box.top() + 4, 7, 7);
        break;
    case Symbol::Previous:
        painter.drawRect(box.left() + 4, box.top() + 4, 1, 7);
        triangle(box.left() + 13, box.left() + 7);
        break;
    case Symbol::Next:
        triangle(box.left() + 5, box.left() + 11);
        painter.drawRect(box.left() + 14, box.top() + 4, 1, 7);
        break;
    }
}

// Four frames (normal, disabled, mouse over, down) on the skin's background, which is also the
// transparent colour, as skins draw them.
QImage transportGlyph(Symbol symbol, int frameWidth)
{
    const QColor frameColours[4] = {skinText, QColor(90, 100, 120), Qt::white, QColor(0, 255, 255)};
    QImage strip(frameWidth * 4, 16, QImage::Format_RGB32);
    strip.fill(skinBackground);
    QPainter painter(&strip);
    for (int frame = 0; frame < 4; ++frame) {
        painter.setPen(frameColours[frame]);
        painter.setBrush(frameColours[frame]);
        drawSymbol(painter, symbol, QRect(frame * frameWidth, 0, frameWidth, 16));
    }
    return strip;
}

// The window's own two buttons: a bar (hide) or a cross (quit).
QImage windowButtonGlyph(bool cross)
{
    QImage strip(9 * 4, 9, QImage::Format_RGB32);
    strip.fill(skinBackground);
    QPainter painter(&strip);
    for (int frame = 0; frame < 4; ++frame) {
        painter.setPen(frame == 1 ? QColor(90, 100, 120) : skinText);
        const int left = frame * 9;
        if (cross) {
            painter.drawLine(left + 2, 2, left + 6, 6);
            painter.drawLine(left + 6, 2, left + 2, 6);
        } else {
            painter.drawLine(left + 2, 6, left + 6, 6);
        }
    }
    return strip;
}

QImage backgroundTile()
{
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(skinBackground);
    for (int i = 0; i < 8; ++i)
        tile.setPixelColor(i, i, skinBackground.lighter(140));
    return tile;
}

TLMDPanelFill *skinPanel(QSize size)
{
    auto *panel = new TLMDPanelFill;
    panel->resize(size);
    panel->setBitmap(backgroundTile());
    panel->setFillStyle(TLMDPanelFill::sfBitmap);
    return panel;
}

// The five transport buttons, left to right: Previous (drawn transparently), Play, Pause
// (latched down), Stop, Next.
void addTransportButtons(QWidget *panel, QPoint origin, bool flat)
{
    struct Button {
        Symbol symbol;
        int frameWidth;
        int x;
        const char *hint;
    };
    const Button buttons[] = {{Symbol::Previous, 20, 48, "Previous Song"},
                              {Symbol::Play, 17, 80, "Play"},
                              {Symbol::Pause, 13, 112, "Pause"},
                              {Symbol::Stop, 17, 144, "Stop"},
                              {Symbol::Next, 21, 176, "Next Song"}};
    for (const Button &entry : buttons) {
        auto *button = new TLMDSpeedButton(panel);
        button->setGeometry(origin.x() + entry.x, origin.y(), 32, 20);
        button->setGlyph(transportGlyph(entry.symbol, entry.frameWidth));
        button->setColor(button->glyph().pixelColor(0, 0));
        button->setFlat(flat);
        button->setToolTip(QString::fromLatin1(entry.hint));
        if (entry.symbol == Symbol::Previous)
            button->setTransparent(true);
        if (entry.symbol == Symbol::Pause) {
            button->setGroupIndex(1);
            button->setAllowAllUp(true);
            button->setDown(true);
        }
    }
}

QImage transportButtons(bool flat)
{
    std::unique_ptr<TLMDPanelFill> panel(skinPanel({252, 36}));
    addTransportButtons(panel.get(), {0, 8}, flat);
    return panel->grab().toImage();
}

TLMDLabel *skinLabel(QWidget *parent, const QString &caption, QRect place, QColor colour)
{
    auto *label = new TLMDLabel(parent);
    label->setGeometry(place);
    label->setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    label->setFontColor(colour);
    label->setCaption(caption);
    return label;
}

void addMenuButtons(QWidget *panel, int y, QMenu *menu)
{
    const std::pair<const char *, int> buttons[] = {
        {"&Songs", 26}, {"&Options", 96}, {"&Help", 166}};
    for (const auto &[caption, x] : buttons) {
        auto *button = new TRzMenuButton(panel);
        button->setGeometry(x, y, 60, 19);
        button->setText(QString::fromLatin1(caption));
        button->setFont(QFont(QStringLiteral("Liberation Sans"), 8));
        button->setColor(skinBackground);
        button->setFontColor(skinText);
        button->setDropDownMenu(menu);
    }
}

QImage menuButtons()
{
    std::unique_ptr<TLMDPanelFill> panel(skinPanel({252, 27}));
    QMenu menu;
    addMenuButtons(panel.get(), 4, &menu);
    return panel->grab().toImage();
}

// Every stock control at its place on the skinned main window.
QImage mainWindow()
{
    std::unique_ptr<TLMDPanelFill> panel(skinPanel({252, 412}));
    addTransportButtons(panel.get(), {0, 88}, true);
    skinLabel(panel.get(), QStringLiteral("Volume:"), {8, 114, 40, 15}, lime);
    skinLabel(panel.get(), QStringLiteral("Priority:"), {134, 114, 36, 15}, lime);
    TLMDLabel *info = skinLabel(panel.get(), QStringLiteral("Click on Open to select MP3 files"),
                                {82, 24, 152, 31}, skinText);
    info->setMultiLine(true);
    skinLabel(panel.get(), QStringLiteral("128 kbit/s, 44100 Hz, Joint Stereo"), {10, 138, 229, 15},
              skinText);
    for (int x : {212, 226}) {
        auto *small = new TLMDSpeedButton(panel.get());
        small->setGeometry(x, 8, 15, 15);
        small->setGlyph(windowButtonGlyph(x == 226));
        small->setColor(skinBackground);
    }
    QMenu menu;
    addMenuButtons(panel.get(), 385, &menu);
    return panel->grab().toImage();
}

QImage labels()
{
    std::unique_ptr<TLMDPanelFill> panel(skinPanel({252, 60}));
    skinLabel(panel.get(), QStringLiteral("Volume:"), {8, 4, 40, 15}, lime);
    skinLabel(panel.get(), QStringLiteral("Priority:"), {134, 4, 36, 15}, lime);
    TLMDLabel *info =
        skinLabel(panel.get(), QStringLiteral("Rock & Roll <Live> - a title long enough to wrap"),
                  {82, 24, 152, 31}, skinText);
    info->setMultiLine(true);
    return panel->grab().toImage();
}

// The playlist font size at its initial value and at the top of its range (up arrow off).
QImage spinEdit()
{
    QWidget form;
    form.resize(150, 34);
    for (int value : {8, 12}) {
        auto *edit = new TRzSpinEdit(&form);
        edit->setMinimum(6);
        edit->setMaximum(12);
        edit->setValue(value);
        edit->setGeometry(value == 8 ? 8 : 80, 6, 60, 22);
    }
    return form.grab().toImage();
}

QIcon programIcon()
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(skinBackground);
    painter.setPen(QPen(skinText, 3));
    painter.drawEllipse(QRectF(3, 3, 42, 42));
    painter.setBrush(skinText);
    painter.drawPolygon(QPolygonF({QPointF(19, 14), QPointF(35, 24), QPointF(19, 34)}));
    return QIcon(pixmap);
}

QImage aboutBox()
{
    TLMDAboutDlg about;
    about.setProperty("LinkUrl", QUrl(QStringLiteral("https://norlplayer.example.org/")));
    about.setIcon(programIcon());
    const std::unique_ptr<QDialog> dialog = about.createDialog();
    dialog->adjustSize();
    return dialog->grab().toImage();
}

GalleryRegistration registration({
    {"stock-transport-flat", [] { return transportButtons(true); }},
    {"stock-transport-3d", [] { return transportButtons(false); }},
    {"stock-menubuttons", menuButtons},
    {"stock-labels", labels},
    {"stock-spinedit", spinEdit},
    {"stock-aboutbox", aboutBox},
    {"stock-mainwindow", mainWindow},
});

} // namespace
