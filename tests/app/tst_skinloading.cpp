// Skins on the main window: what each key changes, the failures and the steps they skip, the
// window's shape (once per run) and its region file.
#include <QtTest>

#include "formfixture.h"
#include "imagelistbox.h"
#include "label.h"
#include "ledlabel.h"
#include "menubutton.h"
#include "panelfill.h"
#include "speedbutton.h"
#include "trackbar.h"
#include "ui_playform.h"

namespace {

const QColor DefaultForeColor(0, 179, 214);

void saveBitmap(const QString &path, QSize size, QColor fill)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(fill);
    QVERIFY(image.save(path, "BMP"));
}

void writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

class tst_skinloading : public QObject {
    Q_OBJECT

    std::unique_ptr<FormFixture> fixture;
    TestPlayForm *form = nullptr;
    QString skins; // a folder for the skins a test makes

    // A complete skin folder `name` with `extra` lines added to its [Skin] section.
    QString makeSkin(const QString &name, const QByteArray &extra = {},
                     QColor background = QColor(30, 30, 30))
    {
        const QString folder = skins + "/" + name;
        QDir().mkpath(folder);
        saveBitmap(folder + "/back.bmp", {252, 412}, background);
        saveBitmap(folder + "/play.bmp", {68, 16}, QColor(10, 20, 30));
        for (const char *glyph : {"pause.bmp", "stop.bmp", "next.bmp", "previous.bmp"})
            saveBitmap(folder + "/" + glyph, {68, 16}, QColor(90, 90, 90));
        saveBitmap(folder + "/hruler.bmp", {56, 10}, Qt::gray);
        saveBitmap(folder + "/hruler1.bmp", {44, 8}, Qt::gray);
        writeText(folder + "/" + name + ".sk",
                  "[Skin]\nBackground=back.bmp\nPlayButton=play.bmp\nPauseButton=pause.bmp\n"
                  "StopButton=stop.bmp\nNextButton=next.bmp\nPreviousButton=previous.bmp\n" +
                      extra);
        return folder + "/" + name + ".sk";
    }
    QString loadFailure(const QString &skin)
    {
        try {
            form->LoadSkin(skin);
        } catch (const std::exception &error) {
            return QString::fromLocal8Bit(error.what());
        }
        return QString();
    }

private slots:
    void init()
    {
        fixture = std::make_unique<FormFixture>();
        skins = fixture->folder.filePath("skins");
        form = &fixture->make();
        form->FormCreate();
        QVERIFY(form->FirstShowDone());
    }
    void cleanup() { fixture.reset(); }

    void theDefaultSkinLoadsFromTheProgramFolder()
    {
        QCOMPARE(form->SkinFileName(), fixture->folder.filePath("blue/blue.sk"));
        QCOMPARE(QDir::currentPath(), fixture->folder.filePath("blue"));
        QCOMPARE(form->ui->LMDPanelFill1->fillStyle(), TLMDPanelFill::sfBitmap);
        QCOMPARE(form->ui->LMDPanelFill1->bitmap().size(), QSize(252, 412));
        // No thumb keys: "hruler.bmp" for progress, "hruler1.bmp" for the other two.
        QCOMPARE(form->ui->Slider->thumb().size(), QSize(44, 8));
        QCOMPARE(form->ui->Slider1->thumb().size(), QSize(44, 8));
        QCOMPARE(form->ui->SongList->font().family(), "Liberation Sans");
        QCOMPARE(form->ui->SongList->fontColor(), DefaultForeColor);
    }

    void theThumbKeysCrossOverTheBars()
    {
        const QString skin = makeSkin("cross", "ProgressThumb=p.bmp\nVolumeThumb=v.bmp\n"
                                               "PriorityThumb=q.bmp\n");
        const QString folder = QFileInfo(skin).absolutePath();
        saveBitmap(folder + "/p.bmp", {60, 10}, Qt::red);
        saveBitmap(folder + "/v.bmp", {40, 8}, Qt::green);
        saveBitmap(folder + "/q.bmp", {50, 8}, Qt::blue);
        form->LoadSkin(skin);
        QCOMPARE(form->ui->Slider->thumb().size(), QSize(60, 10));
        QCOMPARE(form->ui->Slider1->thumb().size(), QSize(40, 8)); // priority bar: VolumeThumb
        QCOMPARE(form->ui->Slider2->thumb().size(), QSize(50, 8)); // volume bar: PriorityThumb
    }

    void flatButtonsAndColoursFollowTheirNumbers_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<bool>("flat");
        QTest::addColumn<QColor>("color");
        QTest::newRow("zero, 0x") << QByteArray("FlatButtons=0\nForeColor=0x0000FF\n") << false
                                  << QColor(Qt::red);
        QTest::newRow("False, $") << QByteArray("FlatButtons=False\nForeColor=$0000FF\n") << true
                                  << QColor(Qt::red);
        QTest::newRow("words") << QByteArray("FlatButtons=no\nForeColor=red\n") << true
                               << DefaultForeColor;
        QTest::newRow("decimal, quoted")
            << QByteArray("FlatButtons=\"1\"\nForeColor=\"65280\"\n") << true << QColor(Qt::green);
    }
    void flatButtonsAndColoursFollowTheirNumbers()
    {
        QFETCH(QByteArray, lines);
        QFETCH(bool, flat);
        QFETCH(QColor, color);
        form->LoadSkin(makeSkin("look", lines));
        for (TLMDSpeedButton *button : {form->ui->LMDSpeedButton1, form->ui->LMDSpeedButton4})
            QCOMPARE(button->isFlat(), flat);
        QCOMPARE(form->ui->SongList->fontColor(), color);
        QCOMPARE(form->ui->InfoLabel->fontColor(), color);
        QCOMPARE(form->ui->LMDLabel3->fontColor(), color);
        QCOMPARE(form->ui->LMDSpeedButton8->fontColor(), color);
        QCOMPARE(form->ui->LedDisplay->LED()->ActiveColor(), color);
        // The buttons' background is the Play glyph's top-left pixel.
        QCOMPARE(form->ui->LMDSpeedButton3->color(), QColor(10, 20, 30));
        QCOMPARE(form->ui->LMDSpeedButton10->color(), QColor(10, 20, 30));
    }

    void failuresStopTheLoadWhereTheyHappen_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("backgroundApplied");
        QTest::addColumn<bool>("glyphsApplied");
        QTest::newRow("no folder") << "no folder"
                                   << "I/O error" << false << false;
        QTest::newRow("no skin file") << "no skin file"
                                      << "Cannot open file 2.bmp" << false << false;
        QTest::newRow("missing bitmap") << "missing bitmap"
                                        << "Cannot open file stop.bmp" << true << false;
        QTest::newRow("not a bitmap") << "not a bitmap"
                                      << "Bitmap image is not valid" << true << false;
        QTest::newRow("no play button") << "no play button"
                                        << "Cannot open file " << true << false;
        QTest::newRow("missing thumb") << "missing thumb"
                                       << "Cannot open file hruler1.bmp" << true << true;
        QTest::newRow("background cut to 1000 bytes")
            << "cut background"
            << "Bitmap image is not valid" << false << false;
        QTest::newRow("background smaller than the window")
            << "small background"
            << "The skin's background (251 x 412) is smaller than the window" << false << false;
    }
    void failuresStopTheLoadWhereTheyHappen()
    {
        QFETCH(QString, change);
        QFETCH(QString, message);
        QFETCH(bool, backgroundApplied);
        QFETCH(bool, glyphsApplied);
        QString skin = makeSkin("broken", {}, QColor(200, 10, 10));
        const QString folder = QFileInfo(skin).absolutePath();
        if (change == "no folder")
            skin = skins + "/nowhere/x.sk";
        else if (change == "no skin file")
            QFile::remove(skin);
        else if (change == "missing bitmap")
            QFile::remove(folder + "/stop.bmp");
        else if (change == "not a bitmap")
            writeText(folder + "/stop.bmp", "not a picture");
        else if (change == "no play button")
            writeText(skin, "[Skin]\nBackground=back.bmp\nFlatButtons=0\n");
        else if (change == "missing thumb")
            QFile::remove(folder + "/hruler1.bmp");
        else if (change == "cut background")
            QVERIFY(QFile::resize(folder + "/back.bmp", 1000));
        else if (change == "small background")
            saveBitmap(folder + "/back.bmp", {251, 412}, QColor(200, 10, 10));
        const QImage oldGlyph = form->ui->LMDSpeedButton4->glyph();
        const QRegion oldShape = form->mask();
        const QString failure = loadFailure(skin);
        QVERIFY2(failure.startsWith(message), qPrintable(failure));
        QCOMPARE(form->ui->LMDPanelFill1->bitmap().pixelColor(5, 5) == QColor(200, 10, 10),
                 backgroundApplied);
        // The region file follows the background, and the window keeps its shape.
        QCOMPARE(QFile::exists(folder + "/mask.mk"), backgroundApplied);
        QCOMPARE(form->mask(), oldShape);
        QCOMPARE(form->ui->LMDSpeedButton4->glyph() != oldGlyph, glyphsApplied);
        if (change == "no play button")
            QVERIFY(!form->ui->LMDSpeedButton1->isFlat()); // the step before the glyphs ran
    }

    void theShapeIsCutFromTheBackgroundOncePerRun()
    {
        // The first skin of this run (the fixture's) cut its corners; column 0 is always out.
        const QRegion shape = form->mask();
        QVERIFY(!shape.isEmpty());
        QVERIFY(!shape.contains(QPoint(0, 5)));
        QVERIFY(!shape.contains(QPoint(251, 0)));
        QVERIFY(shape.contains(QPoint(251, 1)));
        QVERIFY(shape.contains(QPoint(1, 0)));
        QFile region(fixture->folder.filePath("blue/mask.mk"));
        QVERIFY(region.open(QIODevice::ReadOnly));
        const QByteArray bytes = region.readAll();
        QCOMPARE(qFromLittleEndian<qint32>(bytes.constData()), bytes.size() - 4);

        // A later skin restyles at once and writes its own region file, but the shape stays.
        const QString other = makeSkin("other", {}, Qt::white);
        form->LoadSkin(other);
        QCOMPARE(form->mask(), shape);
        QVERIFY(QFile::exists(QFileInfo(other).absolutePath() + "/mask.mk"));
    }

    void aSkinFolderThatCannotBeWrittenKeepsItsShapeInTheCache()
    {
        QTemporaryDir cache;
        qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
        const QString skin = makeSkin("system", {}, Qt::white);
        // A folder in the way fails the write even for root, as a read-only folder would.
        QVERIFY(QDir().mkpath(QFileInfo(skin).absolutePath() + "/mask.mk"));
        QCOMPARE(loadFailure(skin), QString());
        QDirIterator cached(cache.path(), {"*-mask.mk"}, QDir::Files, QDirIterator::Subdirectories);
        QVERIFY(cached.hasNext());
        qunsetenv("XDG_CACHE_HOME");
    }

    // A region file that is a link is replaced, never written through: its target, whether
    // there or not, stays as it was.
    void aRegionFileLinkIsReplacedNotFollowed_data()
    {
        QTest::addColumn<bool>("targetExists");
        QTest::newRow("to a file") << true;
        QTest::newRow("dangling") << false;
    }
    void aRegionFileLinkIsReplacedNotFollowed()
    {
        QFETCH(bool, targetExists);
        const QString skin = makeSkin("linked");
        const QString region = QFileInfo(skin).absolutePath() + "/mask.mk";
        const QString target = fixture->folder.filePath("precious.txt");
        if (targetExists)
            writeText(target, "keep me");
        QVERIFY(QFile::link(target, region));
        QCOMPARE(loadFailure(skin), QString());
        QVERIFY(!QFileInfo(region).isSymLink());
        QFile written(region);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(qFromLittleEndian<qint32>(written.read(4).constData()), written.size() - 4);
        QCOMPARE(QFile::exists(target), targetExists);
        if (targetExists) {
            QFile kept(target);
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), QByteArray("keep me"));
        }
    }

    // The time display and the hide and quit buttons show in any text colour, even the one a
    // key colour would have taken away.
    void windowControlsShowInEveryTextColour_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QColor>("color");
        QTest::newRow("black") << QByteArray("ForeColor=0\n") << QColor(Qt::black);
        QTest::newRow("magenta") << QByteArray("ForeColor=$FF00FF\n") << QColor(Qt::magenta);
    }
    void windowControlsShowInEveryTextColour()
    {
        QFETCH(QByteArray, line);
        QFETCH(QColor, color);
        form->LoadSkin(makeSkin("ink", line));
        const QImage window = form->grab().toImage();
        for (QWidget *control : {static_cast<QWidget *>(form->ui->LedDisplay),
                                 static_cast<QWidget *>(form->ui->LMDSpeedButton6),
                                 static_cast<QWidget *>(form->ui->LMDSpeedButton7)}) {
            const QImage shown = window.copy(control->geometry());
            int pixels = 0;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    pixels += shown.pixelColor(x, y) == color;
            QVERIFY2(pixels > 0, qPrintable(control->objectName()));
        }
    }

    // Only the bare background moves the window: not the controls on it, not even those that
    // leave the press to it.
    void onlyALeftPressOnTheBackgroundMovesTheWindow()
    {
        QWidget &background = *form->ui->LMDPanelFill1;
        QTest::mousePress(&background, Qt::RightButton, {}, {246, 300});
        QCOMPARE(form->windowMoves, 0);
        for (QWidget *control : {static_cast<QWidget *>(form->ui->LedDisplay),
                                 static_cast<QWidget *>(form->ui->InfoLabel),
                                 static_cast<QWidget *>(form->ui->LMDLabel1)})
            QTest::mousePress(control, Qt::LeftButton, {}, {3, 3});
        QCOMPARE(form->windowMoves, 0);
        QTest::mousePress(&background, Qt::LeftButton, {}, {246, 300});
        QCOMPARE(form->windowMoves, 1);
    }

    void aDamagedRegionFileSetsNoShape_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("huge length") << QByteArray("\xff\xff\xff\x7f", 4) + QByteArray(32, '\0');
        QTest::newRow("negative length") << QByteArray("\xf0\xff\xff\xff", 4);
        QTest::newRow("short header") << QByteArray("\x10\x00\x00\x00", 4) + QByteArray(16, 1);
    }
    void aDamagedRegionFileSetsNoShape()
    {
        QFETCH(QByteArray, bytes);
        const QRegion shape = form->mask();
        const QString path = fixture->folder.filePath("damaged.mk");
        writeText(path, bytes);
        QVERIFY(!form->ApplyRegionFile(path));
        QVERIFY(!form->ApplyRegionFile(fixture->folder.filePath("missing.mk")));
        QCOMPARE(form->mask(), shape);
    }

    void anEmptyRegionLeavesTheWindowWhole()
    {
        const QString path = fixture->folder.filePath("white.mk");
        QImage white(20, 10, QImage::Format_RGB32);
        white.fill(Qt::white);
        form->clearMask();
        form->SaveBitmapRegion(white, 0xffffff, path);
        QCOMPARE(QFileInfo(path).size(), qint64(4 + 32));
        QVERIFY(form->ApplyRegionFile(path));
        QVERIFY(form->mask().isEmpty());
    }
};

QTEST_MAIN(tst_skinloading)
#include "tst_skinloading.moc"
