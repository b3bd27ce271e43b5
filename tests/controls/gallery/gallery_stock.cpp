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
#include "transportglyph.h"

namespace {

const QColor skinBackground(16, 32, 74);
const QColor skinText(0, 179, 214);
const QColor lime(0, 255, 0);

// Four frames (normal, disabled, mouse over, down) on the skin's background, which is also the
// transparent colour, as skins draw them.
const GlyphColours skinGlyphColours{
    skinBackground, {skinText, QColor(90, 100, 120), Qt::white, QColor(0, 255, 255)}};

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
        TransportSymbol symbol;
        int frameWidth;
        int x;
        const char *hint;
    };
    const Button buttons[] = {{TransportSymbol::Previous, 20, 48, "Previous Song"},
                              {TransportSymbol::Play, 17, 80, "Play"},
                              {TransportSymbol::Pause, 13, 112, "Pause"},
                              {TransportSymbol::Stop, 17, 144, "Stop"},
                              {TransportSymbol::Next, 21, 176, "Next Song"}};
    for (const Button &entry : buttons) {
        auto *button = new TLMDSpeedButton(panel);
        button->setGeometry(origin.x() + entry.x, origin.y(), 32, 20);
        button->setGlyph(transportGlyph(entry.symbol, entry.frameWidth, 16, skinGlyphColours));
        button->setColor(button->glyph().pixelColor(0, 0));
        button->setFlat(flat);
        button->setToolTip(QString::fromLatin1(entry.hint));
        if (entry.symbol == TransportSymbol::Previous)
            button->setTransparent(true);
        if (entry.symbol == TransportSymbol::Pause) {
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
        small->setGlyph(transportGlyph(x == 226 ? TransportSymbol::Quit : TransportSymbol::Hide, 9,
                                       9, skinGlyphColours));
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
