// The volume from one run to the next, with the real decoder library and a sound server of the
// test's own that keeps stream volumes (stream restore, as desktops run it): each run is a
// window started, used and closed as a user would.
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include "formfixture.h"
#include "privateserver.h"
#include "trackbar.h"
#include "ui_playform.h"

namespace {

const QString LibraryPath = QStringLiteral(NORL_LIBRARY_PATH);
const QString Song = QStringLiteral(NORL_FIXTURES_DIR "/sine-1k-cbr128-joint.mp3");

QString pactl(const QStringList &arguments)
{
    QProcess process;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C");
    process.setProcessEnvironment(environment);
    process.start("pactl", arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    return out.isNull() ? QString("") : out;
}

// This process's stream: its number and the server's {left, right} volume; empty while none.
struct OwnStream {
    QString index;
    int left = -1, right = -1;
};
OwnStream ownStream()
{
    const QString pid = QString::number(QCoreApplication::applicationPid());
    static const QRegularExpression volume(R"(Volume: front-left: (\d+) .*front-right: (\d+) )");
    for (const QString &block : pactl({"list", "sink-inputs"}).split("Sink Input #")) {
        if (!block.contains(QStringLiteral("application.process.id = \"%1\"").arg(pid)))
            continue;
        const auto match = volume.match(block);
        return {block.section('\n', 0, 0).trimmed(), match.captured(1).toInt(),
                match.captured(2).toInt()};
    }
    return {};
}

// The server's volume for a level of the bar (65536 is 100 %).
int serverLevel(int bar)
{
    return int((int64_t(bar) * 65536 + 32767) / 65535);
}

} // namespace

class tst_volumebetweenruns : public QObject {
    Q_OBJECT

    // One run of the program: the window shown with the real library and the song in its list.
    struct Run {
        FormFixture fixture;
        MessageBoxWatcher boxes;
        TestPlayForm *form = nullptr;

        Run()
        {
            form = &fixture.make();
            fixture.player().SetPathToDLL(LibraryPath);
            form->FormCreate();
            form->filesToOpen = {Song};
            form->OpenBtnClick();
        }
        int bar() const { return form->ui->Slider2->position(); }
        // Plays and answers the stream once the server has it.
        OwnStream play()
        {
            form->PlayBtnClick();
            OwnStream stream;
            if (!QTest::qWaitFor([&] { return !(stream = ownStream()).index.isEmpty(); }, 2000))
                return {};
            return stream;
        }
    };

private slots:
    // Set with the bar in one run, then in the mixer while playing: each next run starts its
    // bar and its stream there.
    void theNextRunStartsWhereThisOneLeft()
    {
        PrivateServer server({"sink_name=private norewinds=1"},
                             {"module-stream-restore restore_volume=1 restore_device=0"});
        QVERIFY(server.start());
        ServerAddress address(server.address());
        {
            Run first;
            QVERIFY(first.fixture.player().Initialized());
            QCOMPARE(first.bar(), 65535); // nothing kept yet: full volume
            const OwnStream stream = first.play();
            QVERIFY(!stream.index.isEmpty());
            QCOMPARE(stream.left, 65536);
            first.form->ui->Slider2->setPosition(16384); // the user drags the bar to a quarter
            QTRY_COMPARE_WITH_TIMEOUT(ownStream().left, serverLevel(16384), 1000);
            QCOMPARE(ownStream().right, serverLevel(16384));
            QVERIFY2(first.boxes.texts.isEmpty(), qPrintable(first.boxes.texts.join(" | ")));
        }
        QTRY_VERIFY_WITH_TIMEOUT(ownStream().index.isEmpty(), 3000);
        {
            Run second;
            QCOMPARE(second.bar(), 16384);
            const OwnStream stream = second.play();
            QCOMPARE(stream.left, serverLevel(16384));
            QCOMPARE(stream.right, serverLevel(16384));
            QCOMPARE(second.bar(), 16384);
            QVERIFY(!pactl({"set-sink-input-volume", stream.index, "40%"}).isNull());
            // The poll shows it within a tick.
            QTRY_VERIFY_WITH_TIMEOUT(std::abs(second.bar() - 26214) <= 1, 2500);
            QVERIFY2(second.boxes.texts.isEmpty(), qPrintable(second.boxes.texts.join(" | ")));
        }
        QTRY_VERIFY_WITH_TIMEOUT(ownStream().index.isEmpty(), 3000);
        {
            Run third;
            QVERIFY2(std::abs(third.bar() - 26214) <= 1, qPrintable(QString::number(third.bar())));
            const OwnStream stream = third.play();
            QVERIFY2(std::abs(stream.left - 26214) <= 1 && stream.right == stream.left,
                     qPrintable(QString("%1 %2").arg(stream.left).arg(stream.right)));
        }
    }
};

QTEST_MAIN(tst_volumebetweenruns)
#include "tst_volumebetweenruns.moc"
