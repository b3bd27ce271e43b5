// Playing from the list with the real decoder library through the test sound server, driven as
// a user drives the window: the real one-second poll, the transport commands, seeking, a channel
// balance set in the mixer, and what actually reaches the sink.
//
// Needs the sound server named by PULSE_SERVER (scripts/test starts a private one with a null
// sink); without one the test is skipped.
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>
#include <cmath>

#include "formfixture.h"
#include "imagelistbox.h"
#include "label.h"
#include "ledlabel.h"
#include "pcm.h"
#include "trackbar.h"
#include "ui_playform.h"

namespace {

const QString LibraryPath = QStringLiteral(NORL_LIBRARY_PATH);

QString song(const QString &name)
{
    return QStringLiteral(NORL_FIXTURES_DIR "/") + name;
}

// Runs a sound-server tool; its output, or a null string when it failed.
QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C");
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    return out.isNull() ? QString("") : out;
}

// The server's description of this process's stream, or an empty string while it has none.
QString ownSinkInputBlock()
{
    const QString pid = QString::number(QCoreApplication::applicationPid());
    const auto blocks = runTool("pactl", {"list", "sink-inputs"}).split("Sink Input #");
    for (const QString &block : blocks)
        if (block.contains(QStringLiteral("application.process.id = \"%1\"").arg(pid)))
            return block;
    return {};
}

QString ownSinkInput()
{
    return ownSinkInputBlock().section('\n', 0, 0).trimmed();
}

// The server's volume of this process's stream: {left, right}, or {-1, -1}.
QPair<int, int> ownServerVolume()
{
    static const QRegularExpression volume(R"(Volume: front-left: (\d+) .*front-right: (\d+) )");
    const auto match = volume.match(ownSinkInputBlock());
    return match.hasMatch() ? qMakePair(match.captured(1).toInt(), match.captured(2).toInt())
                            : qMakePair(-1, -1);
}

// Frequency of one channel from its rising zero crossings.
double frequency(const Pcm &pcm, int channel, qsizetype from, qsizetype frames)
{
    int crossings = 0;
    for (qsizetype i = from + 1; i < from + frames; ++i)
        if (pcm.samples[(i - 1) * pcm.channels + channel] < 0 &&
            pcm.samples[i * pcm.channels + channel] >= 0)
            ++crossings;
    return crossings * double(pcm.rate) / double(frames);
}

// The frames between the first and the last that are clearly not silence.
QPair<qsizetype, qsizetype> soundingSpan(const Pcm &pcm)
{
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < pcm.frames(); ++i)
        if (std::abs(pcm.samples[i * pcm.channels]) > 300) {
            if (first < 0)
                first = i;
            last = i;
        }
    return {first, last};
}

// What the window showed, sampled every 20 ms as a user would watch it: the songs in the order
// they came (selected row and title), the player's modes and the times on the LED display.
class Trail : public QObject {
public:
    Trail(TestPlayForm &form, TElPlayer &player)
    {
        connect(&m_timer, &QTimer::timeout, this, [this, &form, &player] {
            const QString song = QStringLiteral("%1 %2")
                                     .arg(form.ui->SongList->itemIndex())
                                     .arg(form.CurrentTitle());
            if (!form.CurrentTitle().isEmpty() && (songs.isEmpty() || songs.last() != song))
                songs << song;
            const int mode = player.PlayerMode();
            if (modes.isEmpty() || modes.last() != mode)
                modes << mode;
            const QString time = form.ui->LedDisplay->Caption();
            if (times.isEmpty() || times.last() != time)
                times << time;
        });
        m_timer.start(20);
    }
    QStringList songs;
    QList<int> modes;
    QStringList times;

private:
    QTimer m_timer;
};

} // namespace

class tst_realtransport : public QObject {
    Q_OBJECT

    std::unique_ptr<FormFixture> m_fixture;
    std::unique_ptr<MessageBoxWatcher> m_boxes;
    TestPlayForm *form = nullptr;

    TElPlayer &player() const { return m_fixture->player(); }
    TLMDImageListBox &list() const { return *form->ui->SongList; }
    QString led() const { return form->ui->LedDisplay->Caption(); }
    QString status() const { return form->ui->InfoLabel->text(); }
    void open(const QStringList &paths)
    {
        form->filesToOpen = paths;
        form->OpenBtnClick();
    }
    void startRow(int row)
    {
        list().setItemIndex(row);
        form->SongListDblClick();
    }
    void seek(int seconds)
    {
        form->ui->Slider->setPosition(seconds);
        form->SliderMouseUp(form->ui->Slider, Qt::LeftButton, {}, 0, 0);
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("PULSE_SERVER"))
            QSKIP("PULSE_SERVER is not set: run through scripts/test or start_sound_server");
        if (runTool("pactl", {"info"}).isNull())
            QSKIP("the sound server named by PULSE_SERVER does not answer");
    }

    // A shown window playing through the real library, with an empty list.
    void init()
    {
        m_fixture = std::make_unique<FormFixture>();
        form = &m_fixture->make();
        player().SetPathToDLL(LibraryPath);
        m_boxes = std::make_unique<MessageBoxWatcher>();
        form->FormCreate();
        QVERIFY(player().Initialized());
    }

    // No error box may have come up unasked; the stream must be gone before the next test.
    void cleanup()
    {
        const QStringList boxes = m_boxes ? m_boxes->texts : QStringList();
        m_fixture.reset();
        m_boxes.reset();
        QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(" | ")));
        QTRY_VERIFY_WITH_TIMEOUT(ownSinkInput().isEmpty(), 3000);
    }

    void forwardPlaysTheListInTurnAndWraps()
    {
        open({song("one-second.mp3"), song("two-seconds.mp3")});
        QCOMPARE(list().items(), (QStringList{"one-second", "two-seconds"}));
        QVERIFY(form->ui->Forward1->isChecked());
        Trail trail(*form, player());
        form->PlayBtnClick();
        QCOMPARE(player().PlayerMode(), 4);
        QCOMPARE(status(), "Playing...");

        // Each song is noticed ended in its last second and the next starts then: about 6 s in all.
        const QStringList inTurn{"0 one-second", "1 two-seconds", "0 one-second", "1 two-seconds"};
        QTRY_VERIFY2_WITH_TIMEOUT(trail.songs.size() >= inTurn.size(),
                                  qPrintable(trail.songs.join(" | ")), 14000);
        QCOMPARE(trail.songs.mid(0, inTurn.size()), inTurn);
        QCOMPARE(player().PlayerMode(), 4);
        QTRY_COMPARE_WITH_TIMEOUT(status(), "two-seconds", 2500); // the title, from a tick on
        // Between songs the player shows the end (mode 3) only for the few milliseconds the
        // end watch takes to move on, which a 20 ms trail may or may not catch.
        for (int mode : trail.modes)
            QVERIFY2(mode == 3 || mode == 4, qPrintable(QString::number(mode)));
        // The time counts in ticks from each start; whether a two-second song still plays at
        // its second tick is a matter of milliseconds.
        QVERIFY2(trail.times.contains("00:01"), qPrintable(trail.times.join(" | ")));
        for (const QString &time : trail.times)
            QVERIFY2(time <= "00:02", qPrintable(trail.times.join(" | ")));
    }

    // Paused, the time and the decoder stand still while the poll goes on; stopped, nothing
    // plays until Play starts the row again from its beginning.
    void pauseHoldsAndStopEnds()
    {
        open({song("sine-1k-cbr128-joint.mp3")});
        form->PlayBtnClick();
        QCOMPARE(form->ui->Slider->maxValue(), 3);
        QTRY_COMPARE_WITH_TIMEOUT(led(), "00:01", 2500);
        QCOMPARE(status(), "sine-1k-cbr128-joint");

        form->PauseBtnClick();
        QCOMPARE(player().PlayerMode(), 5);
        QCOMPARE(status(), "Paused...");
        QVERIFY(form->ui->LMDSpeedButton2->isDown());
        const int pausedAt = player().Position();
        QTest::qWait(2300); // two ticks or more
        QCOMPARE(player().PlayerMode(), 5);
        QCOMPARE(player().Position(), pausedAt);
        QCOMPARE(led(), "00:01");
        QCOMPARE(status(), "Paused...");
        QCOMPARE(form->ui->Slider->position(), pausedAt / 1000);

        form->PauseBtnClick();
        QCOMPARE(player().PlayerMode(), 4);
        QVERIFY(!form->ui->LMDSpeedButton2->isDown());
        QTRY_COMPARE_WITH_TIMEOUT(led(), "00:02", 2500);
        QCOMPARE(status(), "sine-1k-cbr128-joint");

        form->StopBtnClick();
        QCOMPARE(player().PlayerMode(), 2); // stopped and made ready again: the stream stays open
        QCOMPARE(status(), "Stopped...");
        QCOMPARE(form->ui->Slider->position(), 0);
        QVERIFY(form->ui->LMDSpeedButton1->isEnabled());
        QVERIFY(!form->ui->LMDSpeedButton2->isEnabled());
        QVERIFY(!form->ui->LMDSpeedButton3->isEnabled());
        QTest::qWait(1500); // past where the song would have ended
        QCOMPARE(player().PlayerMode(), 2);
        QCOMPARE(led(), "00:02");
        QCOMPARE(status(), "Stopped...");

        form->PlayBtnClick();
        QCOMPARE(player().PlayerMode(), 4);
        QVERIFY2(player().Position() < 500, qPrintable(QString::number(player().Position())));
        QTRY_COMPARE_WITH_TIMEOUT(led(), "00:01", 2500);
    }

    // A release on the progress bar moves the decoder there, forward and back, and it plays on
    // from the new place.
    void seekingMovesTheDecoder()
    {
        open({song("vbr-xing.mp3")});
        form->PlayBtnClick();
        QCOMPARE(form->ui->Slider->maxValue(), 5);
        QTRY_VERIFY_WITH_TIMEOUT(player().Position() >= 300, 2000);

        seek(3);
        int at = player().Position();
        QVERIFY2(at >= 3000 && at < 3400, qPrintable(QString::number(at)));
        QCOMPARE(form->ui->Slider->position(), 3);
        QTest::qWait(500);
        at = player().Position();
        QVERIFY2(at >= 3300 && at < 4200, qPrintable(QString::number(at)));
        QCOMPARE(player().PlayerMode(), 4);

        seek(1);
        at = player().Position();
        QVERIFY2(at >= 1000 && at < 1400, qPrintable(QString::number(at)));
        QCOMPARE(form->ui->Slider->position(), 1);
        // The poll keeps the bar on the playing position.
        QTRY_COMPARE_WITH_TIMEOUT(form->ui->Slider->position(), 2, 2500);
        QCOMPARE(player().PlayerMode(), 4);
    }

    // A row whose file is gone is passed over, whether started directly or reached at the end
    // of the song before it.
    void aMissingFileIsSkipped()
    {
        const QString missing = m_fixture->folder.filePath("removed.mp3");
        open({song("one-second.mp3"), missing, song("two-seconds.mp3")});
        QCOMPARE(list().items(), (QStringList{"one-second", "removed", "two-seconds"}));

        startRow(1);
        QCOMPARE(list().itemIndex(), 2);
        QCOMPARE(form->CurrentTitle(), "two-seconds");
        QCOMPARE(player().InputName(), song("two-seconds.mp3"));
        QCOMPARE(player().PlayerMode(), 4);

        form->LMDSpeedButton5Click(); // Next wraps to the first row
        QCOMPARE(list().itemIndex(), 0);
        QCOMPARE(player().PlayerMode(), 4);
        QTRY_COMPARE_WITH_TIMEOUT(list().itemIndex(), 2, 4000);
        QCOMPARE(form->CurrentTitle(), "two-seconds");
        QCOMPARE(player().PlayerMode(), 4);
        QVERIFY(form->findChild<QTimer *>("Timer")->isActive());
    }

    // A balance set in the mixer is levelled at the next tick: the bar moves to the mean and
    // both channels take it, on the server too.
    void anOutsideBalanceIsLevelledWithinATick()
    {
        open({song("sine-1k-cbr128-joint.mp3")});
        form->PlayBtnClick();
        QString index;
        QTRY_VERIFY_WITH_TIMEOUT(!(index = ownSinkInput()).isEmpty(), 2000);
        QVERIFY(!runTool("pactl", {"set-sink-input-volume", index, "60%", "30%"}).isNull());
        QElapsedTimer clock;
        clock.start();

        // 60 % and 30 % of 65535: 39321 and 19660.5, mean 29490.75.
        auto levelled = [this] { return std::abs(form->ui->Slider2->position() - 29491) <= 2; };
        QTRY_VERIFY2_WITH_TIMEOUT(levelled(),
                                  qPrintable(QString::number(form->ui->Slider2->position())), 2500);
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        const int mean = form->ui->Slider2->position();
        QCOMPARE(int(player().LeftVolume()), mean);
        QCOMPARE(int(player().RightVolume()), mean);
        QTRY_VERIFY_WITH_TIMEOUT(ownServerVolume().first == ownServerVolume().second, 1000);
        const auto onServer = ownServerVolume();
        QVERIFY2(std::abs(onServer.first - mean) <= 2,
                 qPrintable(QString("%1 %2").arg(onServer.first).arg(onServer.second)));

        // Once level, the next ticks leave it alone.
        QTest::qWait(1100);
        QCOMPARE(form->ui->Slider2->position(), mean);
        QCOMPARE(ownServerVolume(), onServer);
    }

    // The 1 kHz fixture started from the list is heard on the sink, and the Info and ID3 boxes
    // describe it.
    void theToneReachesTheSinkAndTheBoxesDescribeIt()
    {
        MonitorRecording monitor;
        QVERIFY2(monitor.start(), "parec records nothing");

        form->ui->Slider2->setPosition(65535);
        open({song("sine-1k-cbr128-joint.mp3")});
        form->PlayBtnClick();
        form->InfoBtnClick();
        form->ID3BtnClick();
        QCOMPARE(m_boxes->texts,
                 (QStringList{"Stream info:\r\nLayer: 3\r\nBitrate: 128000\r\nFrequency: "
                              "44100\r\nStereoMode: Joint Stereo",
                              "Stream ID3 info:\r\nTitle: Thirty Character Title 1234567\r\n"
                              "Artist: Fixture Artist\r\nAlbum: Fixture Album\r\nYear: "
                              "2024\r\nComment: Fixture comment"}));
        m_boxes->texts.clear();
        QCOMPARE(form->ui->LMDLabel3->text(), "Quality: Joint Stereo (128 KBps  44 KHz)");

        QTRY_VERIFY_WITH_TIMEOUT(player().Position() >= 2000, 4000);
        Pcm heard;
        QVERIFY(monitor.stop(heard));
        form->StopBtnClick();

        const auto [first, last] = soundingSpan(heard);
        QVERIFY2(first >= 0, "the sink heard only silence");
        const qsizetype half = heard.rate / 2;
        QVERIFY2(last - first >= half, qPrintable(QString::number(last - first)));
        const qsizetype from = (first + last) / 2 - half / 2;
        for (int channel : {0, 1}) {
            const double level = rmsDb(heard, channel, from, half);
            const double hz = frequency(heard, channel, from, half);
            qInfo("channel %d: %.2f dBFS at %.1f Hz", channel, level, hz);
            QVERIFY2(level > -15, qPrintable(QString::number(level)));
            QVERIFY2(std::abs(hz - 1000) <= 10, qPrintable(QString::number(hz)));
        }
    }
};

QTEST_MAIN(tst_realtransport)
#include "tst_realtransport.moc"
