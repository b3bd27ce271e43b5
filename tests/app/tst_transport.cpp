// Playing from the list against the scripted fake decoder: starting rows, the poll, the
// transport commands, seeking, volume, priority, play modes and the information boxes. The
// poll is driven by calling TimerTimer, one call per second of playing.
#include <QFile>
#include <QtTest>

#include "formfixture.h"
#include "imagelistbox.h"
#include "label.h"
#include "ledlabel.h"
#include "remotecommand.h"
#include "speedbutton.h"
#include "trackbar.h"
#include "ui_playform.h"

namespace {

QStringList toQt(const std::vector<std::string> &calls)
{
    QStringList list;
    for (const auto &call : calls)
        list << QString::fromStdString(call);
    return list;
}

void setMode(int mode)
{
    fakeScript().results["ESGetPlayerMode"] = mode;
}

// Joint stereo, layer 3, at `bitrate` bit/s and 44100 Hz.
void setStreamInfo(int32_t bitrate)
{
    auto &info = fakeScript().info;
    info = {};
    info[0] = 1;
    const int32_t values[] = {3, bitrate, 44100};
    std::memcpy(info.data() + 4, values, sizeof values);
}

} // namespace

Q_DECLARE_METATYPE(InstanceRequest::Kind)

class tst_transport : public QObject {
    Q_OBJECT

    std::unique_ptr<FormFixture> fixture;
    TestPlayForm *form = nullptr;
    QStringList songs;

    QString makeSong(const QString &name, qint64 size = 1280)
    {
        const QString path = fixture->folder.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.resize(size);
        return path;
    }
    QString lastInputName() const
    {
        const auto calls = fakeScript().callsTo("ESSetInputName");
        return calls.empty() ? QString() : QString::fromStdString(calls.back()).mid(17).chopped(1);
    }
    void startRow(int row)
    {
        form->ui->SongList->setItemIndex(row);
        form->SongListDblClick();
        setMode(4);
    }
    TLMDImageListBox &list() const { return *form->ui->SongList; }
    void verifyStoppedControls()
    {
        QCOMPARE(form->ui->InfoLabel->text(), "Stopped...");
        QVERIFY(form->ui->LMDSpeedButton1->isEnabled());
        QVERIFY(form->ui->Play1->isEnabled());
        QVERIFY(!form->ui->LMDSpeedButton2->isEnabled());
        QVERIFY(!form->ui->LMDSpeedButton3->isEnabled());
        QVERIFY(!form->ui->Pause1->isEnabled());
        QVERIFY(!form->ui->Stop1->isEnabled());
        QVERIFY(!form->ui->Slider->isEnabled());
        QVERIFY(!form->findChild<QTimer *>("Timer")->isActive());
    }

private slots:
    // A shown window with three songs a, b, c (sorted), nothing playing.
    void init()
    {
        fixture = std::make_unique<FormFixture>();
        form = &fixture->make();
        fakeScript().results["ESGetSize"] = 61000;
        setStreamInfo(128000);
        form->FormCreate();
        songs = {makeSong("a.mp3"), makeSong("b.mp3"), makeSong("c.mp3")};
        form->filesToOpen = songs;
        form->OpenBtnClick();
        fakeScript().calls.clear();
    }
    void cleanup() { fixture.reset(); }

    void startingARowPlaysItAndShowsIt()
    {
        startRow(1);
        QCOMPARE(lastInputName(), songs[1]);
        const QStringList names = toQt(fakeScript().callNames());
        QVERIFY(names.indexOf("ESOpen") < names.indexOf("ESInitStream"));
        QVERIFY(names.indexOf("ESInitStream") < names.indexOf("ESPlay"));
        QCOMPARE(form->ui->InfoLabel->text(), "Playing...");
        QCOMPARE(form->ui->LedDisplay->Caption(), "00:00"); // until the first tick
        QCOMPARE(form->CurrentTitle(), "b");
        QCOMPARE(form->FileBlocks(), 10u);
        QCOMPARE(form->Bitrate(), 128000u);
        QCOMPARE(form->ui->Slider->maxValue(), 61);
        QCOMPARE(form->ui->LMDLabel3->text(), "Quality: Joint Stereo (128 KBps  44 KHz)");
        QVERIFY(!form->ui->LMDLabel3->isHidden());
        QVERIFY(!form->ui->LMDSpeedButton1->isEnabled());
        QVERIFY(!form->ui->Play1->isEnabled());
        QVERIFY(form->ui->LMDSpeedButton2->isEnabled());
        QVERIFY(form->ui->LMDSpeedButton3->isEnabled());
        QVERIFY(form->ui->Pause1->isEnabled());
        QVERIFY(form->ui->Stop1->isEnabled());
        QVERIFY(form->ui->Slider->isEnabled());
        QVERIFY(form->findChild<QTimer *>("Timer")->isActive());
    }

    // Commands from another copy's command line act as the buttons do, and only where the
    // buttons could.
    void remoteCommandsActAsTheButtons_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<InstanceRequest::Kind>("command");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<int>("row");
        const QStringList start{"ESOpen", "ESInitStream", "ESPlay"};
        QTest::newRow("play-pause starts") << 0 << InstanceRequest::PlayPause << start << 1;
        QTest::newRow("play-pause after the end") << 3 << InstanceRequest::PlayPause << start << 1;
        QTest::newRow("play-pause pauses")
            << 4 << InstanceRequest::PlayPause << QStringList{"ESPause"} << 1;
        QTest::newRow("next") << 4 << InstanceRequest::Next << start << 2;
        QTest::newRow("previous") << 4 << InstanceRequest::Previous << start << 0;
        QTest::newRow("stop") << 5 << InstanceRequest::Stop << QStringList{"ESStop"} << 1;
        QTest::newRow("stop with nothing playing")
            << 0 << InstanceRequest::Stop << QStringList{} << 1;
    }
    void remoteCommandsActAsTheButtons()
    {
        QFETCH(int, mode);
        QFETCH(InstanceRequest::Kind, command);
        QFETCH(QStringList, calls);
        QFETCH(int, row);
        list().setItemIndex(1);
        setMode(mode);
        fakeScript().calls.clear();
        runRemoteCommand(*form, command);
        QStringList made = toQt(fakeScript().callNames());
        made.removeIf([](const QString &name) {
            return !name.contains(QRegularExpression("^ES(Open|InitStream|Play|Pause|Stop)$"));
        });
        QCOMPARE(made.mid(0, calls.size()), calls);
        QCOMPARE(list().itemIndex(), row);
    }

    void remoteCommandsWaitForTheFirstShow()
    {
        fixture.reset();
        fixture = std::make_unique<FormFixture>();
        form = &fixture->make();
        fakeScript().calls.clear();
        for (auto command : {InstanceRequest::PlayPause, InstanceRequest::Stop})
            runRemoteCommand(*form, command);
        QVERIFY(fakeScript().calls.empty());
    }

    void theTickCountsWhilePlayingAndFreezesWhilePaused()
    {
        startRow(0);
        form->TimerTimer();
        QCOMPARE(form->ui->LedDisplay->Caption(), "00:01");
        QCOMPARE(form->ui->InfoLabel->text(), "a");
        form->PauseBtnClick();
        QVERIFY(form->ui->LMDSpeedButton2->isDown());
        QCOMPARE(form->ui->InfoLabel->text(), "Paused...");
        setMode(5);
        fakeScript().results["ESGetPos"] = 7000;
        form->TimerTimer();
        QCOMPARE(form->ui->LedDisplay->Caption(), "00:01");
        QCOMPARE(form->ui->Slider->position(), 7); // the bar follows the decoder while paused
        form->PauseBtnClick();
        QVERIFY(!form->ui->LMDSpeedButton2->isDown());
        QCOMPARE(toQt(fakeScript().callsTo("ESResume")).size(), 1);
        setMode(4);
        form->TimerTimer();
        QCOMPARE(form->ui->LedDisplay->Caption(), "00:02");
    }

    void longSongsShowMinutesPastAnHour()
    {
        startRow(0);
        for (int second = 0; second < 61 * 60; ++second)
            form->TimerTimer();
        QCOMPARE(form->ui->LedDisplay->Caption(), "61:00");
        for (int second = 61 * 60; second < 100 * 60; ++second)
            form->TimerTimer();
        QCOMPARE(form->ui->LedDisplay->Caption(), "100:00");
    }

    void theEndOfASongMovesOnByThePlayMode_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("playing");
        QTest::addColumn<int>("next");
        QTest::newRow("forward") << "Forward" << 1 << 2;
        QTest::newRow("forward wraps") << "Forward" << 2 << 0;
        QTest::newRow("same song") << "SameSong" << 1 << 1;
    }
    void theEndOfASongMovesOnByThePlayMode()
    {
        QFETCH(QString, mode);
        QFETCH(int, playing);
        QFETCH(int, next);
        if (mode == "SameSong")
            form->SameSong1Click();
        startRow(playing);
        setMode(3);
        form->TimerTimer();
        QCOMPARE(list().itemIndex(), next);
        QCOMPARE(lastInputName(), songs[next]);
        QCOMPARE(toQt(fakeScript().callsTo("ESClose")).size(), 1);
    }

    void randomModeWithOneRowPicksIt()
    {
        form->RemoveAll1Click();
        form->filesToOpen = {songs[1]};
        form->OpenBtnClick();
        form->Random1Click();
        QVERIFY(!form->ui->Forward1->isChecked());
        startRow(0);
        for (int round = 0; round < 5; ++round) {
            setMode(3);
            form->TimerTimer();
            QCOMPARE(list().itemIndex(), 0);
        }
        QCOMPARE(toQt(fakeScript().callsTo("ESPlay")).size(), 6);
    }

    void nextAndPreviousWrapAndMoveFromTheSelectedRow()
    {
        startRow(2);
        form->LMDSpeedButton5Click();
        QCOMPARE(lastInputName(), songs[0]);
        form->LMDSpeedButton4Click();
        QCOMPARE(lastInputName(), songs[2]);
        // A single click makes another row the reference.
        list().setItemIndex(0);
        form->LMDSpeedButton4Click();
        QCOMPARE(lastInputName(), songs[2]);
        list().setItemIndex(0);
        setMode(3);
        form->TimerTimer(); // Forward continues after the clicked row
        QCOMPARE(lastInputName(), songs[1]);
    }

    void nothingStartsWithoutASelectedRow()
    {
        list().setItemIndex(-1);
        form->SongListDblClick();
        form->LMDSpeedButton5Click();
        form->LMDSpeedButton4Click();
        form->SameSong1Click();
        form->findChild<QTimer *>("Timer")->start();
        setMode(3);
        form->TimerTimer();
        form->TimerTimer();
        QVERIFY(fakeScript().callsTo("ESSetInputName").empty());
        QVERIFY(fakeScript().callsTo("ESClose").empty());
    }

    void removingAllRowsWhilePlayingStartsNothingAtTheEnd()
    {
        startRow(1);
        form->RemoveAll1Click();
        setMode(3);
        form->TimerTimer();
        form->TimerTimer();
        QCOMPARE(toQt(fakeScript().callsTo("ESOpen")).size(), 1);
    }

    void stopThenPlayRestartsTheSelectedRow()
    {
        startRow(1);
        form->StopBtnClick();
        const QStringList names = toQt(fakeScript().callNames());
        QCOMPARE(names.mid(names.lastIndexOf("ESStop"))
                     .filter(QRegularExpression("^ES(Stop|InitStream)$")),
                 (QStringList{"ESStop", "ESInitStream"}));
        QCOMPARE(form->ui->InfoLabel->text(), "Stopped...");
        QCOMPARE(form->ui->Slider->position(), 0);
        QVERIFY(form->ui->LMDSpeedButton1->isEnabled());
        QVERIFY(!form->ui->LMDSpeedButton2->isEnabled());
        QVERIFY(!form->ui->LMDSpeedButton3->isEnabled());
        QVERIFY(!form->ui->Slider->isEnabled());
        QVERIFY(!form->findChild<QTimer *>("Timer")->isActive());
        setMode(6);
        form->PlayBtnClick();
        QCOMPARE(toQt(fakeScript().callsTo("ESClose")).size(), 1);
        QCOMPARE(lastInputName(), songs[1]);
        QCOMPARE(toQt(fakeScript().callsTo("ESPlay")).size(), 2);
    }

    void playWithoutASelectionStartsTheFirstRow()
    {
        list().setItemIndex(-1);
        form->PlayBtnClick();
        QCOMPARE(lastInputName(), songs[0]);
    }

    void missingFilesAreSkippedAndAListOfThemEndsStopped()
    {
        QFile::remove(songs[1]);
        startRow(1);
        QCOMPARE(list().itemIndex(), 2);
        QCOMPARE(lastInputName(), songs[2]);

        QFile::remove(songs[0]);
        QFile::remove(songs[2]);
        setMode(3);
        form->TimerTimer();
        QCOMPARE(toQt(fakeScript().callsTo("ESOpen")).size(), 1);
        verifyStoppedControls();
    }

    // A start that fails (no sound server, say) shows one box and leaves Play working, both
    // for Play itself and for the next song at the end of one.
    void aFailingStartShowsOneBoxAndLeavesPlayWorking_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<bool>("atTheEndOfASong");
        QTest::newRow("open, by Play") << "ESOpen" << false;
        QTest::newRow("play, by Play") << "ESPlay" << false;
        QTest::newRow("open, next song") << "ESOpen" << true;
        QTest::newRow("init, next song") << "ESInitStream" << true;
    }
    void aFailingStartShowsOneBoxAndLeavesPlayWorking()
    {
        QFETCH(QString, failing);
        QFETCH(bool, atTheEndOfASong);
        MessageBoxWatcher boxes;
        if (atTheEndOfASong)
            startRow(0);
        fakeScript().results[failing.toStdString()] = 0;
        fakeScript().lastError = 5;
        if (atTheEndOfASong) {
            setMode(3);
            form->TimerTimer();
        } else {
            form->PlayBtnClick();
        }
        QTRY_COMPARE(boxes.texts.size(), 1);
        verifyStoppedControls();

        fakeScript().results.erase(failing.toStdString());
        fakeScript().lastError = 0;
        const size_t played = fakeScript().callsTo("ESPlay").size();
        form->PlayBtnClick();
        QCOMPARE(fakeScript().callsTo("ESPlay").size(), played + 1);
        QVERIFY(!form->ui->LMDSpeedButton1->isEnabled());
        QCOMPARE(boxes.texts.size(), 1);
    }

    void volumeFollowsTheBarAndOutsideChangesAreLevelled()
    {
        startRow(0);
        form->ui->Slider2->setPosition(40000);
        QCOMPARE(fakeScript().callsTo("ESSetVolume").back(), "ESSetVolume(7,9c409c40)");
        fakeScript().volume = (30000u << 16) | 60000u; // left 60000, right 30000
        form->TimerTimer();
        QCOMPARE(form->ui->Slider2->position(), 45000);
        QCOMPARE(fakeScript().callsTo("ESSetVolume").back(), "ESSetVolume(7,afc8afc8)");
        // A balance whose mean is the bar's position is left alone.
        const size_t sent = fakeScript().callsTo("ESSetVolume").size();
        fakeScript().volume = (40000u << 16) | 50000u;
        form->TimerTimer();
        QCOMPARE(fakeScript().callsTo("ESSetVolume").size(), sent);
    }

    void thePriorityBarSetsThePriorityByTable_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("priority");
        QTest::newRow("idle") << 0 << -15;
        QTest::newRow("below normal") << 2 << -1;
        QTest::newRow("time-critical") << 6 << 15;
    }
    void thePriorityBarSetsThePriorityByTable()
    {
        QFETCH(int, position);
        QFETCH(int, priority);
        form->ui->Slider1->setPosition(position);
        QCOMPARE(fixture->player().Priority(), priority);
    }

    // The bar's keys seek as well, once they stop (tst_windowkeys).
    void theWheelNeverSeeksAMouseReleaseDoes()
    {
        startRow(0);
        TLMDTrackBar &bar = *form->ui->Slider;
        QWheelEvent wheel(QPointF(10, 8), bar.mapToGlobal(QPointF(10, 8)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&bar, &wheel);
        QVERIFY(fakeScript().callsTo("ESSetPos").empty());
        QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(100, 8));
        QCOMPARE(fakeScript().callsTo("ESSetPos").size(), size_t(1));
    }

    void aSeekEstimatesTheTimeFromSizeAndBitrate()
    {
        const QString big = makeSong("big.mp3", 9600000);
        form->filesToOpen = {big};
        form->OpenBtnClick();
        fakeScript().results["ESGetSize"] = 600000;
        startRow(int(form->Entries().indexOf("big," + big)));
        form->ui->Slider->setPosition(300);
        fakeScript().results["ESGetPos"] = 300000;
        form->SliderMouseUp(nullptr, Qt::LeftButton, {}, 0, 0);
        QCOMPARE(fakeScript().callsTo("ESSetPos").back(), "ESSetPos(7,300000)");
        QCOMPARE(form->Elapsed(), (ElapsedTime{4, 43}));
        form->TimerTimer();
        QCOMPARE(form->ui->LedDisplay->Caption(), "04:44");
    }

    void withoutABitrateASeekTakesTheDecodersPosition()
    {
        fakeScript().results["ESGetInfo1"] = 0; // no stream information ever read
        startRow(0);
        QCOMPARE(form->Bitrate(), 0u);
        QCOMPARE(form->ui->LMDLabel3->text(), QString());
        fakeScript().results["ESGetPos"] = 125000;
        form->SliderMouseUp(nullptr, Qt::LeftButton, {}, 0, 0);
        QCOMPARE(form->Elapsed(), (ElapsedTime{2, 5}));
    }

    void theInfoBoxesShowTheStreamAndItsTag()
    {
        startRow(0);
        MessageBoxWatcher boxes;
        form->InfoBtnClick();
        auto &tag = fakeScript().tag;
        tag = {};
        std::memcpy(tag.data(), "TAGSong", 7);
        std::memcpy(tag.data() + 33, "Band", 4);
        std::memcpy(tag.data() + 63, "Album", 5);
        std::memcpy(tag.data() + 93, "1999", 4);
        std::memcpy(tag.data() + 97, "Note", 4);
        form->ID3BtnClick();
        QCOMPARE(boxes.texts,
                 (QStringList{"Stream info:\r\nLayer: 3\r\nBitrate: 128000\r\nFrequency: 44100\r\n"
                              "StereoMode: Joint Stereo",
                              "Stream ID3 info:\r\nTitle: Song\r\nArtist: Band\r\nAlbum: "
                              "Album\r\nYear: 1999\r\nComment: Note"}));
    }

    void thePollGoesOnWhileABoxIsOpen()
    {
        startRow(0);
        bool tickedWhileOpen = false;
        QElapsedTimer open;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (!open.isValid())
                open.start();
            tickedWhileOpen = form->ui->LedDisplay->Caption() == "00:01";
            if (tickedWhileOpen || open.elapsed() > 3000)
                box->done(QMessageBox::Ok);
        });
        watcher.start(20);
        form->InfoBtnClick();
        QVERIFY(tickedWhileOpen);
    }

    // The poll's next song fails while the Info box waits: its box comes over the Info box,
    // which stays open, and playback is left stopped.
    void aFailingNextSongWhileTheInfoBoxIsOpenShowsItsOwnBox()
    {
        startRow(0);
        setMode(3);
        fakeScript().results["ESOpen"] = 0;
        fakeScript().lastError = 5;
        QStringList seen; // the boxes in the order they closed
        QElapsedTimer open;
        open.start();
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (box->text().startsWith("Stream info:")) {
                // Open until the tick's box has come and gone.
                if (!seen.isEmpty() || open.elapsed() > 5000) {
                    seen << "Info";
                    box->done(QMessageBox::Ok);
                }
                return;
            }
            const auto windows = QApplication::topLevelWidgets();
            const bool overInfo = std::any_of(windows.begin(), windows.end(), [&](QWidget *w) {
                auto *other = qobject_cast<QMessageBox *>(w);
                return other && other != box && other->isVisible();
            });
            seen << (overInfo ? "failure over Info" : "failure alone");
            box->done(QMessageBox::Ok);
        });
        watcher.start(20);
        form->InfoBtnClick();
        QCOMPARE(seen, (QStringList{"failure over Info", "Info"}));
        verifyStoppedControls();
    }

    void theInfoBoxesReportWhatTheyCannotGet()
    {
        MessageBoxWatcher boxes;
        fakeScript().results["ESGetInfo1"] = 0;
        form->InfoBtnClick();
        fakeScript().results["ESGetInfo2"] = 0; // a stream without a tag
        fakeScript().lastError = 5;
        form->ID3BtnClick();
        QCOMPARE(boxes.texts,
                 (QStringList{"Failed to get stream info", "Failed to get stream ID3 info"}));
    }

    void anotherMajorVersionGetsNoBox()
    {
        MessageBoxWatcher boxes;
        fakeScript().results["ESGetVersion"] = 210;
        form->InfoBtnClick();
        form->ID3BtnClick();
        QTest::qWait(20);
        QVERIFY(boxes.texts.isEmpty());
        QVERIFY(fakeScript().callsTo("ESGetInfo1").empty());
    }

    void preferencesReappliesAfterCancelAndNumbersWaitForTheNextAdd()
    {
        fixture->storeSetting("NumbersInPlaylist", "1");
        fixture->storeSetting("DisplayRecordingInfo", "0");
        form->Preferences1Click(); // the user cancels; the stored settings apply anyway
        QCOMPARE(form->steps.count("Preferences"), 1);
        QVERIFY(form->NumbersInPlaylist());
        QCOMPARE(list().items(), (QStringList{"a", "b", "c"}));
        form->filesToOpen = {};
        form->OpenBtnClick(); // a cancelled open dialog rebuilds the rows
        QCOMPARE(list().items(), (QStringList{"1.- a", "2.- b", "3.- c"}));
        startRow(0);
        QVERIFY(form->ui->LMDLabel3->isHidden());
    }
};

QTEST_MAIN(tst_transport)
#include "tst_transport.moc"
