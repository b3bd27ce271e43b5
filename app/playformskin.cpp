// Skins on the main window: loading a skin file onto the controls, the window's shape through
// the region file (and, on Wayland, its alpha channel), and dragging the frameless window by its
// background.
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>
#include <QSaveFile>
#include <QStandardPaths>
#include <QWindow>
#include <stdexcept>

#include "bitmapfile.h"
#include "desktopsession.h"
#include "ownfiles.h"
#include "playform.h"
#include "skinfile.h"
#include "transportglyph.h"
#include "ui_playform.h"
#include "widgetlook.h"
#include "windowregion.h"
#include "windowscolor.h"

namespace {

[[noreturn]] void fail(const QString &message)
{
    throw std::runtime_error(message.toStdString());
}

// A bitmap named by a skin, relative to the skin folder (the current folder).
QImage loadBitmap(const QString &fileName)
{
    QFile file(fileName);
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Cannot open file %1").arg(fileName));
    // The decoder would paint the missing part of a cut-off file black.
    if (!BitmapFile::holdsAllPixelData(file.peek(BitmapFile::HeadSize), file.size()))
        fail(QStringLiteral("Bitmap image is not valid"));
    QImageReader reader(&file, "bmp");
    // Otherwise the reader loads every image plugin to ask it about "bmp" first.
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    if (image.isNull())
        fail(QStringLiteral("Bitmap image is not valid"));
    return image;
}

// Where a skin folder's region file goes when the folder cannot be written (a system-wide
// install): the user's cache, under a name derived from the folder.
QString cachedRegionFilePath(const QString &skinFolder)
{
    const QString name = QStringLiteral("mask.mk");
    const QString cache =
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/skins");
    QDir().mkpath(cache);
    const QByteArray id =
        QCryptographicHash::hash(QDir(skinFolder).absolutePath().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return QDir(cache).filePath(QString::fromLatin1(id) + QLatin1Char('-') + name);
}

} // namespace

void TPlayForm::LoadSkin(const QString &fileName)
{
    const qsizetype cut = fileName.lastIndexOf(QLatin1Char('/'));
    const QString folder = fileName.left(cut + 1);
    const QString skinPath = QFileInfo(fileName).absoluteFilePath();
    if (!QDir::setCurrent(folder))
        fail(QStringLiteral("I/O error: cannot change to the skin folder \"%1\"").arg(folder));
    const SkinFile skin(skinPath);

    const QImage background =
        loadBitmap(skin.readString(QStringLiteral("Background"), QStringLiteral("2.bmp")));
    // A smaller background would cut the window down to its own size, with no way back.
    if (background.width() < width() || background.height() < height())
        fail(QStringLiteral("The skin's background (%1 x %2) is smaller than the window (%3 x %4)")
                 .arg(background.width())
                 .arg(background.height())
                 .arg(width())
                 .arg(height()));
    ui->LMDPanelFill1->setFillStyle(TLMDPanelFill::sfBitmap);
    ui->LMDPanelFill1->setBitmap(background);
    // The panel now paints every pixel of the window.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    // The region file lies beside the skin, or in the cache when the skin folder is read-only or
    // part of an installed copy.
    QString regionFile = mayWriteBesideProgram(QDir::currentPath(), m_programFolder)
                             ? QDir::current().filePath(QStringLiteral("mask.mk"))
                             : cachedRegionFilePath(QDir::currentPath());
    try {
        SaveBitmapRegion(ui->LMDPanelFill1->bitmap(), 0xffffff, regionFile);
    } catch (const std::runtime_error &) {
        regionFile = cachedRegionFilePath(QDir::currentPath());
        SaveBitmapRegion(ui->LMDPanelFill1->bitmap(), 0xffffff, regionFile);
    }
    if (!m_regionApplied) {
        ApplyRegionFile(regionFile);
        m_regionApplied = true;
    }
    // Where the shape is drawn, the background leaves the pixels outside it untouched.
    if (testAttribute(Qt::WA_TranslucentBackground) && !mask().isEmpty())
        ui->LMDPanelFill1->setBitmap(WindowRegion::clearedOutside(background, mask()));

    TLMDSpeedButton *const transport[] = {ui->LMDSpeedButton1, ui->LMDSpeedButton2,
                                          ui->LMDSpeedButton3, ui->LMDSpeedButton4,
                                          ui->LMDSpeedButton5};
    const bool flat = skin.readInteger(QStringLiteral("FlatButtons"), 1) != 0;
    for (TLMDSpeedButton *button : transport)
        button->setFlat(flat);
    const std::pair<const char *, TLMDSpeedButton *> glyphs[] = {
        {"PlayButton", ui->LMDSpeedButton1},
        {"PauseButton", ui->LMDSpeedButton2},
        {"StopButton", ui->LMDSpeedButton3},
        {"NextButton", ui->LMDSpeedButton5},
        {"PreviousButton", ui->LMDSpeedButton4}};
    for (const auto &[key, button] : glyphs)
        button->setGlyph(loadBitmap(skin.readString(QLatin1String(key), QString())));

    const QColor buttonColor = ui->LMDSpeedButton1->glyph().pixelColor(0, 0);
    for (TLMDSpeedButton *button : transport)
        button->setColor(buttonColor);
    for (TRzMenuButton *button : {ui->LMDSpeedButton8, ui->LMDSpeedButton9, ui->LMDSpeedButton10})
        button->setColor(buttonColor);

    const QString face = skin.readString(QStringLiteral("Song List Font"), QStringLiteral("Arial"));
    const QColor foreColor =
        colorFromWindowsValue(skin.readInteger(QStringLiteral("ForeColor"), 14070528));
    setFontFamily(*ui->SongList, face);
    ui->SongList->setFontColor(foreColor);
    ui->InfoLabel->setFontName(face);
    ui->InfoLabel->setFontColor(foreColor);
    ui->LedDisplay->LED()->SetActiveColor(foreColor);
    for (TLMDLabel *label : {ui->LMDLabel1, ui->LMDLabel2, ui->LMDLabel3}) {
        label->setFontColor(foreColor);
        label->setFontName(face);
    }
    for (TRzMenuButton *button : {ui->LMDSpeedButton8, ui->LMDSpeedButton9, ui->LMDSpeedButton10}) {
        button->setFontColor(foreColor);
        button->setFontName(face);
    }
    showWindowButtons(foreColor);
    showEqualizerLook();

    ui->Slider->setThumb(
        loadBitmap(skin.readString(QStringLiteral("ProgressThumb"), QStringLiteral("hruler.bmp"))));
    // The priority bar takes "VolumeThumb" and the volume bar "PriorityThumb".
    ui->Slider1->setThumb(
        loadBitmap(skin.readString(QStringLiteral("VolumeThumb"), QStringLiteral("hruler1.bmp"))));
    ui->Slider2->setThumb(loadBitmap(
        skin.readString(QStringLiteral("PriorityThumb"), QStringLiteral("hruler1.bmp"))));
}

void TPlayForm::prepareShape()
{
    // A Wayland compositor takes the mask as the input region only; what shows is the alpha.
    if (!DesktopSession::isWayland())
        return;
    setAttribute(Qt::WA_TranslucentBackground);
    // Until a skin paints the window, the window paints itself.
    setAutoFillBackground(true);
}

// The hide and quit buttons stand in for a title bar: drawn in the skin's text colour over the
// background, so they read on any skin. Their background is truly transparent, as no key colour
// is safe from every text colour.
void TPlayForm::showWindowButtons(const QColor &color)
{
    const GlyphColours colours{Qt::transparent, {color, color.darker(200), color, color}};
    ui->LMDSpeedButton6->setGlyph(transportGlyph(TransportSymbol::Hide, 11, 11, colours));
    ui->LMDSpeedButton7->setGlyph(transportGlyph(TransportSymbol::Quit, 11, 11, colours));
    ui->LMDSpeedButton6->setTransparent(true);
    ui->LMDSpeedButton7->setTransparent(true);
}

void TPlayForm::SaveBitmapRegion(const QImage &bitmap, QRgb key, const QString &fileName)
{
    if (bitmap.width() <= 0 || bitmap.height() <= 0)
        return;
    // The save would follow a link and replace its target: replace the link itself instead.
    if (QFileInfo(fileName).isSymLink() && !QFile::remove(fileName))
        fail(QStringLiteral("Cannot create file %1").arg(fileName));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(WindowRegion::fileBytes(WindowRegion::shapeOf(bitmap, key))) < 0 ||
        !file.commit())
        fail(QStringLiteral("Cannot create file %1").arg(fileName));
}

bool TPlayForm::ApplyRegionFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Region files are a few kilobytes; anything far larger is not one of ours.
    if (file.size() > 16 * 1024 * 1024)
        return false;
    const QByteArray bytes = file.readAll();
    const auto rects = WindowRegion::parseFile(bytes);
    if (!rects)
        return false;
    // A length of 0 sets no shape; an empty shape leaves the window whole rather than invisible.
    if (!rects->empty())
        setMask(WindowRegion::toRegion(*rects));
    return true;
}

bool TPlayForm::eventFilter(QObject *watched, QEvent *event)
{
    if (barKeyEvent(watched, event))
        return true;
    if (watched == ui->LMDPanelFill1 && event->type() == QEvent::MouseButtonPress) {
        const auto *press = static_cast<QMouseEvent *>(event);
        // A press that a child control left unhandled passes through here on its way up.
        if (ui->LMDPanelFill1->childAt(press->position().toPoint()) != nullptr)
            return QWidget::eventFilter(watched, event);
        LMDPanelFill1MouseDown(watched, press->button(), press->modifiers(),
                               int(press->position().x()), int(press->position().y()));
    }
    return QWidget::eventFilter(watched, event);
}

void TPlayForm::LMDPanelFill1MouseDown(QObject *, Qt::MouseButton Button, Qt::KeyboardModifiers,
                                       int, int)
{
    // The window has no title bar: its background is the handle that moves it.
    if (Button == Qt::LeftButton)
        startWindowMove();
}

void TPlayForm::startWindowMove()
{
    if (windowHandle())
        windowHandle()->startSystemMove();
}
