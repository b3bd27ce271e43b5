#include <QFile>
#include <QFontDatabase>
#include <QtTest>
#include <queue>

#include "skinbackground.h"
#include "skinfile.h"
#include "skinfiles.h"
#include "skinglyphs.h"
#include "windowregion.h"
#include "windowscolor.h"

using namespace SkinLayout;

namespace {

const SkinTheme &themeNamed(const QString &name)
{
    for (const SkinTheme &theme : shippedThemes())
        if (theme.name == name)
            return theme;
    qFatal("no theme %s", qPrintable(name));
}

QString skinFolder(const QString &name)
{
    return QStringLiteral(NORL_SKINS_DIR "/") + name;
}

SkinFile skinFile(const QString &name)
{
    return SkinFile(skinFolder(name) + QLatin1Char('/') + name + QStringLiteral(".sk"));
}

QImage pictureFor(const QString &name, const char *key)
{
    const QString file = skinFile(name).readString(QLatin1String(key), QString());
    return QImage(skinFolder(name) + QLatin1Char('/') + file, "BMP");
}

double luminance(QColor colour)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.red()) + 0.7152 * linear(colour.green()) +
           0.0722 * linear(colour.blue());
}

// The lowest contrast ratio between `text` and any pixel of `area`.
double worstContrast(const QImage &picture, const QRect &area, QColor text)
{
    double worst = 21;
    const double lit = luminance(text);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const double under = luminance(picture.pixelColor(x, y));
            worst = std::min(worst, (std::max(lit, under) + 0.05) / (std::min(lit, under) + 0.05));
        }
    }
    return worst;
}

// How many pixels of `picture` for which `inRegion` holds can be reached from `seeds` through
// pixels for which it holds too, stepping to the four neighbours.
qsizetype reachable(const QImage &picture, const std::vector<QPoint> &seeds,
                    const std::function<bool(QPoint)> &inRegion)
{
    std::vector<bool> seen(size_t(picture.width()) * size_t(picture.height()));
    std::queue<QPoint> waiting;
    qsizetype count = 0;
    const auto visit = [&](QPoint point) {
        if (!picture.rect().contains(point))
            return;
        const size_t index = size_t(point.y()) * size_t(picture.width()) + size_t(point.x());
        if (seen[index] || !inRegion(point))
            return;
        seen[index] = true;
        ++count;
        waiting.push(point);
    };
    for (QPoint seed : seeds)
        visit(seed);
    while (!waiting.empty()) {
        const QPoint point = waiting.front();
        waiting.pop();
        for (QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
            visit(point + step);
    }
    return count;
}

int largestChannelDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

// Pixels of one glyph frame that differ from the glyph's face.
int symbolPixels(const QImage &strip, int frame)
{
    const int width = strip.width() / 4;
    const QRgb face = strip.pixel(0, 0);
    int count = 0;
    for (int y = 0; y < strip.height(); ++y)
        for (int x = frame * width; x < (frame + 1) * width; ++x)
            count += strip.pixel(x, y) != face;
    return count;
}

} // namespace

class TestShippedSkins : public QObject {
    Q_OBJECT

private slots:
    void skinFileReads_data();
    void skinFileReads();
    void windowShape_data() { skinFileReads_data(); }
    void windowShape();
    void transportGlyphs_data() { skinFileReads_data(); }
    void transportGlyphs();
    void thumbs_data() { skinFileReads_data(); }
    void thumbs();
    void textReadsOnEveryFace_data() { skinFileReads_data(); }
    void textReadsOnEveryFace();
    void colourNotationsReadBack_data();
    void colourNotationsReadBack();
    void cutLeavesWhiteOnlyOutside();
    void makeSkinsWritesOrFails();
};

void TestShippedSkins::skinFileReads_data()
{
    QTest::addColumn<QString>("name");
    for (const SkinTheme &theme : shippedThemes())
        QTest::newRow(qPrintable(theme.name)) << theme.name;
}

// Read through the program's reader, every key resolves, and the folder holds what the drawing
// makes today.
void TestShippedSkins::skinFileReads()
{
    QFETCH(QString, name);
    const SkinTheme &theme = themeNamed(name);
    QFile text(skinFolder(name) + QLatin1Char('/') + name + QStringLiteral(".sk"));
    QVERIFY(text.open(QIODevice::ReadOnly));
    QCOMPARE(text.readAll(), skinFileText(theme));

    const SkinFile skin = skinFile(name);
    for (const char *key : {"Background", "PlayButton", "PauseButton", "StopButton", "NextButton",
                            "PreviousButton", "ProgressThumb", "VolumeThumb", "PriorityThumb"}) {
        QFile bitmap(skinFolder(name) + QLatin1Char('/') +
                     skin.readString(QLatin1String(key), QString()));
        QVERIFY2(bitmap.open(QIODevice::ReadOnly), key);
        const QByteArray header = bitmap.read(30);
        QVERIFY2(header.startsWith("BM"), key);
        QCOMPARE(quint8(header[28]) | quint8(header[29]) << 8, 24); // bits per pixel
        QVERIFY2(!pictureFor(name, key).isNull(), key);
    }
    QVERIFY(SkinFile::parseInteger(skin.readString(QStringLiteral("FlatButtons"), QString())));
    QCOMPARE(skin.readInteger(QStringLiteral("FlatButtons"), -1) != 0, theme.flatButtons);
    const auto colour = SkinFile::parseInteger(skin.readString(QStringLiteral("ForeColor"), {}));
    QVERIFY(colour);
    QCOMPARE(colorFromWindowsValue(*colour), theme.text);
    const QString font = skin.readString(QStringLiteral("Song List Font"), QString());
    QVERIFY2(QFontDatabase::hasFamily(font), qPrintable(font));
}

// One piece with no holes, shaped at the corners, and every control wholly inside it.
void TestShippedSkins::windowShape()
{
    QFETCH(QString, name);
    const QImage background = pictureFor(name, "Background");
    QCOMPARE(background.size(), Window);
    const QRegion shape = WindowRegion::toRegion(WindowRegion::shapeOf(background, KeyColour));
    const QRect controls[] = {TimeDisplay,    SongText,      ProgressBar,    VolumeLabel,
                              VolumeBar,      PriorityLabel, PriorityBar,    StatusLine,
                              SongList,       WindowButtons, TransportStrip, MenuButtons[0],
                              MenuButtons[1], MenuButtons[2]};
    for (const QRect &control : controls)
        QVERIFY2(shape.intersected(control) == QRegion(control),
                 qPrintable(QStringLiteral("%1,%2").arg(control.x()).arg(control.y())));
    for (QPoint corner : {QPoint(1, 0), QPoint(250, 0), QPoint(1, 411), QPoint(250, 411)})
        QVERIFY(!shape.contains(corner));

    const auto isKey = [&background](QPoint p) { return background.pixel(p) == KeyColour; };
    std::vector<QPoint> edge;
    qsizetype keyPixels = 0;
    for (int y = 0; y < background.height(); ++y) {
        for (int x = 0; x < background.width(); ++x) {
            keyPixels += isKey({x, y});
            if (x == 0 || y == 0 || x == background.width() - 1 || y == background.height() - 1)
                edge.emplace_back(x, y);
        }
    }
    QCOMPARE(reachable(background, edge, isKey), keyPixels);
    const auto isInside = [&](QPoint p) { return p.x() > 0 && !isKey(p); };
    const qsizetype insidePixels = qsizetype(background.width()) * background.height() - keyPixels;
    QCOMPARE(reachable(background, {SongList.center()}, isInside), insidePixels);
}

void TestShippedSkins::transportGlyphs()
{
    QFETCH(QString, name);
    const SkinTheme &theme = themeNamed(name);
    const QImage background = pictureFor(name, "Background");
    const QColor face = pictureFor(name, "PlayButton").pixelColor(0, 0);
    // The Previous Song button is transparent: the strip must show the other buttons' face.
    for (int y = TransportStrip.top(); y <= TransportStrip.bottom(); ++y)
        for (int x = TransportStrip.left(); x <= TransportStrip.right(); ++x)
            QCOMPARE(background.pixelColor(x, y), face);

    const std::pair<const char *, Transport> keys[] = {{"PreviousButton", Previous},
                                                       {"PlayButton", Play},
                                                       {"PauseButton", Pause},
                                                       {"StopButton", Stop},
                                                       {"NextButton", Next}};
    for (const auto &[key, button] : keys) {
        const QImage strip = pictureFor(name, key).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(strip.width() % 4, 0);
        QVERIFY(strip.width() / 4 <= TransportButtonSize.width() - 4);
        QVERIFY(strip.height() <= TransportButtonSize.height() - 2);
        // Face, transparent colour and the menu buttons' colour are one.
        QCOMPARE(strip.pixelColor(0, strip.height() - 1), face);
        QCOMPARE(strip.pixelColor(0, 0), face);
        for (int frame = 0; frame < 4; ++frame)
            QVERIFY2(symbolPixels(strip, frame) > 20, key);
        const int width = strip.width() / 4;
        QVERIFY(strip.copy(0, 0, width, strip.height()) !=
                strip.copy(width, 0, width, strip.height()));
        const QImage drawn = transportGlyphStrip(theme, button);
        QCOMPARE(strip.size(), drawn.size());
        QVERIFY2(largestChannelDifference(strip, drawn) <= 3, key);
    }
}

// Each bar gets the thumb drawn for it, although the keys of the volume and priority bars are
// crossed.
void TestShippedSkins::thumbs()
{
    QFETCH(QString, name);
    const SkinTheme &theme = themeNamed(name);
    const std::pair<const char *, ThumbKind> bars[] = {{"ProgressThumb", ThumbKind::Progress},
                                                       {"VolumeThumb", ThumbKind::Priority},
                                                       {"PriorityThumb", ThumbKind::Volume}};
    for (const auto &[key, kind] : bars) {
        const QImage thumb = pictureFor(name, key).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(thumb, thumbStrip(theme, kind));
        QCOMPARE(thumb.size(), kind == ThumbKind::Progress ? ProgressThumb : SmallThumb);
        QCOMPARE(thumb.width() % 2, 0);
        const QRgb transparent = thumb.pixel(0, thumb.height() - 1);
        for (int half = 0; half < 2; ++half) {
            int solid = 0;
            for (int y = 0; y < thumb.height(); ++y)
                for (int x = half * thumb.width() / 2; x < (half + 1) * thumb.width() / 2; ++x)
                    solid += thumb.pixel(x, y) != transparent;
            QVERIFY(solid > thumb.width() * thumb.height() / 4);
        }
    }
}

// The text colour is legible wherever text or lit segments land, menu buttons included.
void TestShippedSkins::textReadsOnEveryFace()
{
    QFETCH(QString, name);
    const QImage background = pictureFor(name, "Background");
    const QColor text = themeNamed(name).text;
    // The time's five cells of 11 x 19 pixels, inside the display's 2-pixel frame allowance.
    const QRect digits(TimeDisplay.topLeft() + QPoint(2, 2), QSize(5 * 11, 19));
    const QRect places[] = {digits, SongText, VolumeLabel, PriorityLabel, StatusLine, SongList};
    for (const QRect &place : places)
        QVERIFY2(worstContrast(background, place, text) >= 4.5,
                 qPrintable(QStringLiteral("%1,%2: %3")
                                .arg(place.x())
                                .arg(place.y())
                                .arg(worstContrast(background, place, text))));
    const QImage play = pictureFor(name, "PlayButton");
    QVERIFY(worstContrast(play, QRect(0, 0, 1, 1), text) >= 4.5);
}

void TestShippedSkins::colourNotationsReadBack_data()
{
    QTest::addColumn<ColourNotation>("notation");
    QTest::addColumn<QColor>("colour");
    const std::pair<const char *, ColourNotation> notations[] = {
        {"decimal", ColourNotation::Decimal},
        {"0x", ColourNotation::HexWithZeroX},
        {"$", ColourNotation::HexWithDollar}};
    for (const auto &[label, notation] : notations) {
        for (QColor colour : {QColor(0, 0, 0), QColor(255, 255, 255), QColor(1, 2, 3),
                              QColor(255, 0, 0), QColor(0, 0, 255), QColor(128, 64, 250)})
            QTest::addRow("%s %s", label, qPrintable(colour.name())) << notation << colour;
    }
}

// Whatever notation the generator writes, the program's reader gets the same colour back.
void TestShippedSkins::colourNotationsReadBack()
{
    QFETCH(ColourNotation, notation);
    QFETCH(QColor, colour);
    SkinTheme theme;
    theme.text = colour;
    theme.notation = notation;
    const auto value = SkinFile::parseInteger(foreColorText(theme));
    QVERIFY2(value, qPrintable(foreColorText(theme)));
    QCOMPARE(colorFromWindowsValue(*value), colour);
}

void TestShippedSkins::cutLeavesWhiteOnlyOutside()
{
    QImage picture(6, 3, QImage::Format_RGB32);
    picture.fill(KeyColour);
    picture.setPixel(2, 1, qRgb(10, 20, 30));
    QImage mask(picture.size(), QImage::Format_Grayscale8);
    mask.fill(0);
    for (int x = 1; x < 5; ++x)
        mask.setPixel(x, 1, 255);
    picture.setPixel(0, 0, qRgb(10, 20, 30)); // outside, not white
    cutOutside(picture, mask);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 6; ++x) {
            const QRgb expected = y != 1 || x == 0 || x == 5 ? KeyColour
                                  : x == 2                   ? qRgb(10, 20, 30)
                                                             : NearWhite;
            QCOMPARE(picture.pixel(x, y), expected);
        }
    }
}

// The generator writes every skin into a fresh folder, and says so when it cannot write.
void TestShippedSkins::makeSkinsWritesOrFails()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QProcess run;
    run.start(QStringLiteral(NORL_MAKE_SKINS), {folder.path()});
    QVERIFY(run.waitForFinished(60000));
    QCOMPARE(run.exitCode(), 0);
    for (const SkinTheme &theme : shippedThemes()) {
        const QString skin = theme.name + QLatin1Char('/') + theme.name + QStringLiteral(".sk");
        QFile written(folder.filePath(skin));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), skinFileText(theme));
        QCOMPARE(QDir(folder.filePath(theme.name)).entryList(QDir::Files).size(), 10);
    }

    QFile blocker(folder.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    run.start(QStringLiteral(NORL_MAKE_SKINS), {blocker.fileName()});
    QVERIFY(run.waitForFinished(60000));
    QCOMPARE(run.exitCode(), 1);
    QVERIFY(run.readAllStandardError().contains("cannot create"));

    run.start(QStringLiteral(NORL_MAKE_SKINS), {});
    QVERIFY(run.waitForFinished(60000));
    QCOMPARE(run.exitCode(), 2);
}

QTEST_MAIN(TestShippedSkins)
#include "tst_shippedskins.moc"
