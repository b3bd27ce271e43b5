// Playing through the sound server, as a host does: player modes and the audible position
// against the wall clock, seeking and limits, volume in both directions, what actually reaches
// the sink, device numbers, a server that is missing or dies mid-song, several handles at once
// and the output callback beside the server, and an equalizer change heard while playing.
//
// Runs against the server named by PULSE_SERVER (scripts/test starts a private one with a null
// sink rendering in small blocks); the server-loss cases start their own.
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <functional>
#include <mutex>

#include "library.h"
#include "pcm.h"
#include "privateserver.h"

namespace {

constexpr int Rate = 44100;

// Polls every few ms (QTRY_* polls in 50 ms steps, too coarse for the timing checks).
bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QThread::msleep(5);
    }
    return true;
}

// Runs a sound-server tool against the current PULSE_SERVER; its output, or a null string
// when it failed.
QString tool(const QString &program, const QStringList &args)
{
    QProcess process;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C");
    process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    return out.isNull() ? QString("") : out;
}

// One row per object of `pactl list short <what>`, split at tabs.
QList<QStringList> shortList(const QString &what)
{
    QList<QStringList> rows;
    const auto lines = tool("pactl", {"list", "short", what}).split('\n', Qt::SkipEmptyParts);
    for (const auto &line : lines)
        rows << line.split('\t');
    return rows;
}

// The streams playing on the server.
int sinkInputCount()
{
    return int(shortList("sink-inputs").size());
}

// The server's own volume of a sink input: {left, right}, or {-1, -1}.
QPair<int, int> serverVolume(const QString &sinkInput)
{
    const QString all = tool("pactl", {"list", "sink-inputs"});
    for (const auto &block : all.split("Sink Input #")) {
        if (block.section('\n', 0, 0).trimmed() != sinkInput)
            continue;
        static const QRegularExpression volume(
            R"(Volume: front-left: (\d+) .*front-right: (\d+) )");
        auto m = volume.match(block);
        if (m.hasMatch())
            return {m.captured(1).toInt(), m.captured(2).toInt()};
    }
    return {-1, -1};
}

// What the OutputProc and OutputActionProc saw; they run on the decoder thread.
struct Tap {
    std::mutex mutex;
    QList<int> events; // 1 Init, 0 the end, 2 a run of blocks
    Pcm pcm;
    bool formatChanged = false;

    static NpBool NP_STDCALL onBlock(const void *data, int32_t bits, int32_t channels, int32_t rate,
                                     int32_t size, void *context)
    {
        auto *tap = static_cast<Tap *>(context);
        std::lock_guard lock(tap->mutex);
        if (tap->events.isEmpty() || tap->events.last() != 2)
            tap->events << 2;
        if (tap->pcm.rate == 0) {
            tap->pcm.rate = rate;
            tap->pcm.channels = channels;
        }
        tap->formatChanged |= bits != 16 || rate != tap->pcm.rate || channels != tap->pcm.channels;
        const auto *samples = static_cast<const int16_t *>(data);
        tap->pcm.samples.append(QVector<int16_t>(samples, samples + size / 2));
        return 1;
    }
    static NpBool NP_STDCALL onAction(NpBool init, void *context)
    {
        auto *tap = static_cast<Tap *>(context);
        std::lock_guard lock(tap->mutex);
        tap->events << ((init & 0xff) ? 1 : 0);
        return 1;
    }
};

// The frames between the first and the last one that is clearly not silence.
QPair<qsizetype, qsizetype> soundingSpan(const Pcm &pcm)
{
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < pcm.frames(); ++i) {
        if (std::abs(pcm.samples[i * pcm.channels]) > 300) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    return {first, last};
}

// Frequency from the rising zero crossings of one channel.
double frequency(const Pcm &pcm, int channel, qsizetype from, qsizetype frames)
{
    int crossings = 0;
    for (qsizetype i = from + 1; i < from + frames; ++i)
        if (pcm.samples[(i - 1) * pcm.channels + channel] < 0 &&
            pcm.samples[i * pcm.channels + channel] >= 0)
            ++crossings;
    return crossings * double(pcm.rate) / double(frames);
}

} // namespace

class tst_playback : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void modesFollowPlayback_data();
    void modesFollowPlayback();
    void positionFollowsTheClock();
    void positionReadSeldomFollowsTheClock();
    void endsOnTime_data();
    void endsOnTime();
    void failedSeekWhileDrainingStillEnds();
    void volume();
    void volumeRememberedBetweenRuns();
    void soundReachesTheSink();
    void deviceNumbers_data();
    void deviceNumbers();
    void serverLost();
    void serverMissing();
    void serverHung();
    void handlesPlayTogether();
    void callbackBesideTheServer_data();
    void callbackBesideTheServer();
    void equalizerChangeIsHeardWhilePlaying();

private:
    // Releases its handle whatever way the test leaves.
    struct Handle {
        NorlplayLibrary &np;
        NpHandle h;
        explicit Handle(NorlplayLibrary &lib) : np(lib), h(lib.ESInitModule()) {}
        ~Handle()
        {
            if (h)
                np.ESDeInitModule(h);
        }
        operator NpHandle() const { return h; }
    };

    // Opens a fixture and (unless told otherwise) prepares the output; empty on success,
    // else what failed.
    QString load(NpHandle h, const QString &file, int outputMode = omMMSystem,
                 bool initStream = true);
    QString lastError(NpHandle h, const char *what)
    {
        return QString("%1 failed with error %2").arg(what).arg(np.ESLastError(h));
    }
    // What the default sink played while sine-1k-cbr128-joint.mp3 ran at `volume`.
    void recordSine(uint32_t volume, Pcm &recording);

    NorlplayLibrary np;
};

void tst_playback::initTestCase()
{
    QVERIFY2(np.loaded(), qPrintable(np.error()));
    QVERIFY2(!qEnvironmentVariableIsEmpty("PULSE_SERVER"),
             "PULSE_SERVER is not set: run through scripts/test or start_sound_server");
    QVERIFY2(!tool("pactl", {"info"}).isNull(), "the sound server does not answer");
}

// Volume and sink checks count streams: the previous test's must be gone.
void tst_playback::init()
{
    QTRY_COMPARE_WITH_TIMEOUT(sinkInputCount(), 0, 3000);
}

QString tst_playback::load(NpHandle h, const QString &file, int outputMode, bool initStream)
{
    if (!np.ESSetInputName(h, QFile::encodeName(fixture(file)).constData()))
        return lastError(h, "ESSetInputName");
    if (!np.ESSetOutputMode(h, outputMode))
        return lastError(h, "ESSetOutputMode");
    if (!np.ESOpen(h))
        return lastError(h, "ESOpen");
    if (initStream && !np.ESInitStream(h))
        return lastError(h, "ESInitStream");
    return {};
}

void tst_playback::modesFollowPlayback_data()
{
    QTest::addColumn<int>("outputMode");
    QTest::addColumn<bool>("resumeWithPlay");
    QTest::newRow("omMMSystem, ESResume") << int(omMMSystem) << false;
    QTest::newRow("omDirectSound, ESPlay") << int(omDirectSound) << true;
}

// Every mode the player passes through, polled often enough to catch a wrong one in between.
void tst_playback::modesFollowPlayback()
{
    QFETCH(int, outputMode);
    QFETCH(bool, resumeWithPlay);
    Handle h(np);
    QList<int> seen;
    auto sample = [&] {
        int mode = np.ESGetPlayerMode(h);
        if (seen.isEmpty() || seen.last() != mode)
            seen << mode;
        return mode;
    };
    sample();
    QVERIFY(np.ESSetInputName(h, QFile::encodeName(fixture("one-second.mp3")).constData()));
    QVERIFY(np.ESSetOutputMode(h, outputMode));
    QVERIFY(np.ESOpen(h));
    sample();
    const int length = np.ESGetSize(h);
    QVERIFY2(np.ESInitStream(h), qPrintable(lastError(h, "ESInitStream")));
    sample();
    QCOMPARE(sinkInputCount(), 1);

    QElapsedTimer clock;
    clock.start();
    QVERIFY(np.ESPlay(h));
    QVERIFY(waitUntil([&] { return sample() != 4 || np.ESGetPos(h) >= 300; }, 2000));
    QVERIFY(np.ESPause(h));
    // Paused long enough that the song would have ended had it kept playing.
    QVERIFY(!waitUntil([&] { return sample() != 5; }, 900));
    QVERIFY(resumeWithPlay ? np.ESPlay(h) : np.ESResume(h));
    QVERIFY(waitUntil([&] { return sample() != 4; }, length + 3000));
    const qint64 elapsed = clock.elapsed();

    QCOMPARE(seen, (QList<int>{0, 1, 2, 4, 5, 4, 3}));
    QCOMPARE(np.ESLastError(h), 0);
    QVERIFY2(elapsed >= length + 900 - 50, qPrintable(QString::number(elapsed)));
    QVERIFY2(std::abs(np.ESGetPos(h) - length) <= 10, qPrintable(QString::number(np.ESGetPos(h))));
}

// The audible position runs with the wall clock, holds while paused, and goes back to the
// start on stop; a stopped stream plays again from there.
void tst_playback::positionFollowsTheClock()
{
    Handle h(np);
    QString failed = load(h, "sine-1k-cbr128-joint.mp3");
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QCOMPARE(np.ESGetPos(h), 0);
    QVERIFY(np.ESPlay(h));
    QVERIFY(waitUntil([&] { return np.ESGetPos(h) > 0; }, 2000));

    QElapsedTimer clock;
    int from = np.ESGetPos(h);
    clock.start();
    QTest::qWait(2000);
    int advance = np.ESGetPos(h) - from;
    qint64 elapsed = clock.elapsed();
    QVERIFY2(std::abs(advance - elapsed) <= 150,
             qPrintable(QString("%1 ms in %2 ms").arg(advance).arg(elapsed)));

    const int beforePause = np.ESGetPos(h);
    QVERIFY(np.ESPause(h));
    const int paused = np.ESGetPos(h);
    QVERIFY2(paused >= beforePause && paused - beforePause <= 50,
             qPrintable(QString("%1 then %2").arg(beforePause).arg(paused)));
    QTest::qWait(400);
    QCOMPARE(np.ESGetPos(h), paused);

    QVERIFY(np.ESResume(h));
    clock.restart();
    QVERIFY(waitUntil([&] { return np.ESGetPos(h) >= paused + 300; }, 1000));
    QVERIFY2(clock.elapsed() >= 300 - 150, qPrintable(QString::number(clock.elapsed())));

    QVERIFY(np.ESStop(h));
    QCOMPARE(np.ESGetPlayerMode(h), 6);
    QCOMPARE(np.ESGetPos(h), 0);
    QTRY_COMPARE_WITH_TIMEOUT(sinkInputCount(), 0, 2000); // the output is released

    QVERIFY2(np.ESInitStream(h), qPrintable(lastError(h, "ESInitStream")));
    QCOMPARE(np.ESGetPlayerMode(h), 2);
    QCOMPARE(np.ESGetPos(h), 0);
    QVERIFY(np.ESPlay(h));
    QCOMPARE(np.ESGetPlayerMode(h), 4);
    QVERIFY(waitUntil([&] { return np.ESGetPos(h) >= 200; }, 2000));
    QVERIFY2(np.ESGetPos(h) < 1000, qPrintable(QString::number(np.ESGetPos(h))));
    QVERIFY(np.ESClose(h));
    QCOMPARE(np.ESGetPlayerMode(h), 0);
}

// A host polling once in a while, as a window does, reads the position the listener hears,
// also right after a seek restarted the stream.
void tst_playback::positionReadSeldomFollowsTheClock()
{
    Handle h(np);
    QString failed = load(h, "vbr-xing.mp3");
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QVERIFY(np.ESPlay(h));
    QVERIFY(waitUntil([&] { return np.ESGetPos(h) >= 300; }, 2000));

    QVERIFY(np.ESSetPos(h, 2000));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(np.ESGetPos(h) < 2000 + 150);
    for (int read = 1; read <= 3; ++read) {
        QTest::qWait(500);
        const int expected = 2000 + int(clock.elapsed());
        const int at = np.ESGetPos(h);
        QVERIFY2(
            std::abs(at - expected) <= 150,
            qPrintable(QString("read %1: %2 ms, heard %3 ms").arg(read).arg(at).arg(expected)));
    }
    QVERIFY(np.ESClose(h));
}

void tst_playback::endsOnTime_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("startLimit");
    QTest::addColumn<int>("endLimit");
    QTest::addColumn<int>("seekAt"); // audible position at which to seek
    QTest::addColumn<int>("seekTo"); // -1: no seek
    QTest::addColumn<bool>("seekPaused");
    QTest::addColumn<int>("end"); // 0: the file's length

    const QString sine = "sine-1k-cbr128-joint.mp3", two = "two-seconds.mp3";
    QTest::newRow("forward while playing") << sine << 0 << 0 << 300 << 1500 << false << 0;
    QTest::newRow("forward while paused") << sine << 0 << 0 << 300 << 1500 << true << 0;
    // By then the whole file is decoded and the output is draining.
    QTest::newRow("back while draining") << two << 0 << 0 << 1500 << 500 << false << 0;
    QTest::newRow("back while paused and draining") << two << 0 << 0 << 1500 << 500 << true << 0;
    QTest::newRow("limits") << two << 500 << 1500 << -1 << -1 << false << 1500;
    QTest::newRow("past the end limit") << two << 500 << 1500 << 700 << 1800 << false << 1500;
}

// After a seek or within limits, the position reads the target at once and the song ends
// (mode 3) when the rest of it has been heard, at the end of the range.
void tst_playback::endsOnTime()
{
    QFETCH(QString, file);
    QFETCH(int, startLimit);
    QFETCH(int, endLimit);
    QFETCH(int, seekAt);
    QFETCH(int, seekTo);
    QFETCH(bool, seekPaused);
    QFETCH(int, end);

    Handle h(np);
    QString failed = load(h, file, omMMSystem, false);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    if (end == 0)
        end = np.ESGetSize(h);
    QVERIFY(np.ESSetLimits(h, startLimit, endLimit));
    QVERIFY2(np.ESInitStream(h), qPrintable(lastError(h, "ESInitStream")));
    QCOMPARE(np.ESGetPos(h), startLimit);

    QElapsedTimer clock;
    clock.start();
    QVERIFY(np.ESPlay(h));
    int from = startLimit;
    if (seekTo >= 0) {
        QVERIFY(waitUntil([&] { return np.ESGetPos(h) >= seekAt; }, seekAt + 2000));
        QCOMPARE(np.ESGetPlayerMode(h), 4);
        if (seekPaused)
            QVERIFY(np.ESPause(h));
        QVERIFY(np.ESSetPos(h, seekTo));
        from = std::min(seekTo, end);
        const int landed = np.ESGetPos(h);
        QVERIFY2(std::abs(landed - from) <= 50, qPrintable(QString::number(landed)));
        if (seekPaused) {
            QTest::qWait(300);
            QCOMPARE(np.ESGetPlayerMode(h), 5);
            QCOMPARE(np.ESGetPos(h), landed);
            QVERIFY(np.ESResume(h));
        }
        clock.restart();
    }

    QVERIFY(waitUntil([&] { return np.ESGetPlayerMode(h) != 4; }, end - from + 3000));
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(np.ESGetPlayerMode(h), 3);
    QCOMPARE(np.ESLastError(h), 0);
    QVERIFY2(std::abs(elapsed - (end - from)) <= 250,
             qPrintable(QString("ended after %1 ms, expected %2").arg(elapsed).arg(end - from)));
    QVERIFY2(std::abs(np.ESGetPos(h) - end) <= 20, qPrintable(QString::number(np.ESGetPos(h))));
}

// The whole song is decoded and the output drains when the input fails under a seek: the seek
// reports the failure and the song still ends, with what was queued heard.
void tst_playback::failedSeekWhileDrainingStillEnds()
{
    QTemporaryDir dir;
    const QString copy = dir.filePath("song.mp3");
    QVERIFY(QFile::copy(fixture("../../data/demo/demo.mp3"), copy));
    Handle h(np);
    QVERIFY(np.ESSetInputName(h, QFile::encodeName(copy).constData()));
    QVERIFY(np.ESOpen(h));
    const int length = np.ESGetSize(h);
    QVERIFY(np.ESSetPos(h, length - 1500));
    QVERIFY2(np.ESInitStream(h), qPrintable(lastError(h, "ESInitStream")));
    QVERIFY(np.ESPlay(h));
    QVERIFY(waitUntil([&] { return np.ESGetPos(h) >= length - 400; }, 3000));

    QVERIFY(QFile::resize(copy, 1000)); // the media went away
    QVERIFY(!np.ESSetPos(h, 1000));
    QCOMPARE(np.ESLastError(h), 5);
    QVERIFY(waitUntil([&] { return np.ESGetPlayerMode(h) != 4; }, 2000));
    QCOMPARE(np.ESGetPlayerMode(h), 3);
    QVERIFY2(np.ESGetPos(h) >= length - 50, qPrintable(QString::number(np.ESGetPos(h))));
}

// ESSetVolume packs left high, ESGetVolume left low; the server gets the right channel of each,
// and a change made in the desktop's mixer reads back.
void tst_playback::volume()
{
    Handle h(np);
    uint32_t volume = 0;
    QVERIFY(np.ESSetVolume(h, 0x1234ABCD));
    QVERIFY(np.ESGetVolume(h, &volume));
    QCOMPARE(volume, 0xABCD1234u);

    QString failed = load(h, "two-seconds.mp3");
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QVERIFY(np.ESPlay(h));
    const auto inputs = shortList("sink-inputs");
    QCOMPARE(inputs.size(), 1);
    const QString index = inputs[0][0];
    QVERIFY(np.ESGetVolume(h, &volume));
    QCOMPARE(volume, 0xABCD1234u);

    // The server's volume for 100 % is 65536; the mapping follows the mixer's percent.
    auto near = [](QPair<int, int> got, int left, int right) {
        auto server = [](int v) { return int(std::lround(v * 65536.0 / 65535)); };
        return std::abs(got.first - server(left)) <= 1 && std::abs(got.second - server(right)) <= 1;
    };
    auto onServer = serverVolume(index);
    QVERIFY2(near(onServer, 0x1234, 0xABCD),
             qPrintable(QString("%1 %2").arg(onServer.first).arg(onServer.second)));

    QVERIFY(np.ESSetVolume(h, 0xFFFF4000));
    QVERIFY(np.ESGetVolume(h, &volume));
    QCOMPARE(volume, 0x4000FFFFu);
    QTRY_VERIFY_WITH_TIMEOUT(near(serverVolume(index), 0xFFFF, 0x4000), 1000);

    QVERIFY(!tool("pactl", {"set-sink-input-volume", index, "60%", "30%"}).isNull());
    QTRY_COMPARE_WITH_TIMEOUT((np.ESGetVolume(h, &volume), volume), (19660u << 16) | 39320u, 200);
    QVERIFY(np.ESClose(h));
}

// Without a volume of the host's, streams take the one the server's stream restore keeps for
// this program, and ESGetVolume answers it before any stream: what one run set, or the mixer
// changed, is where the next run starts. A volume the host sets still wins.
void tst_playback::volumeRememberedBetweenRuns()
{
    PrivateServer server({"sink_name=private norewinds=1"},
                         {"module-stream-restore restore_volume=1 restore_device=0"});
    QVERIFY(server.start());
    ServerAddress address(server.address());
    auto onServer = [](const QString &index) {
        auto v = serverVolume(index);
        return QString("%1 %2").arg(v.first).arg(v.second);
    };
    // Starts a song on a fresh handle (as a new run of a host does) and answers its stream.
    auto start = [this](NpHandle h, QString &index) {
        QString failed = load(h, "two-seconds.mp3");
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        QVERIFY(np.ESPlay(h));
        const auto inputs = shortList("sink-inputs");
        QCOMPARE(inputs.size(), 1);
        index = inputs[0][0];
    };
    QString index;
    uint32_t volume = 0;
    {
        Handle h(np);
        QVERIFY(np.ESGetVolume(h, &volume));
        QCOMPARE(volume, 0xFFFFFFFFu); // nothing kept yet
        start(h, index);
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(onServer(index), "65536 65536");
        QVERIFY(np.ESSetVolume(h, 0x4000C000)); // left high
        QTRY_COMPARE_WITH_TIMEOUT(onServer(index), "16384 49153", 1000);
    }
    QTRY_COMPARE_WITH_TIMEOUT(sinkInputCount(), 0, 3000);
    {
        Handle h(np);
        QVERIFY(np.ESGetVolume(h, &volume));
        QCOMPARE(volume, 0xC0004000u); // left low
        start(h, index);
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(onServer(index), "16384 49153");
        QVERIFY(np.ESGetVolume(h, &volume));
        QCOMPARE(volume, 0xC0004000u);
        QVERIFY(!tool("pactl", {"set-sink-input-volume", index, "60%", "30%"}).isNull());
        QTRY_COMPARE_WITH_TIMEOUT((np.ESGetVolume(h, &volume), volume), (19660u << 16) | 39320u,
                                  1000);
    }
    QTRY_COMPARE_WITH_TIMEOUT(sinkInputCount(), 0, 3000);
    {
        Handle h(np);
        QVERIFY(np.ESGetVolume(h, &volume));
        QCOMPARE(volume, (19660u << 16) | 39320u);
        QVERIFY(np.ESSetVolume(h, 0x80008000));
        start(h, index);
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(onServer(index), "32769 32769");
    }
    QTRY_COMPARE_WITH_TIMEOUT(sinkInputCount(), 0, 3000);
    {
        // A volume the host set before its stream is kept as well as one changed while playing.
        Handle h(np);
        QVERIFY(np.ESGetVolume(h, &volume));
        QCOMPARE(volume, 0x80008000u);
    }

    // No server at all: full volume, without waiting for one.
    QTemporaryDir nowhere("/tmp/norl-pb-XXXXXX");
    ServerAddress missing("unix:" + nowhere.filePath("native"));
    Handle h(np);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(np.ESGetVolume(h, &volume));
    QCOMPARE(volume, 0xFFFFFFFFu);
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
}

void tst_playback::recordSine(uint32_t volume, Pcm &recording)
{
    MonitorRecording monitor;
    QVERIFY2(monitor.start(), "parec records nothing");
    {
        Handle h(np);
        QVERIFY(np.ESSetVolume(h, volume));
        QString failed = load(h, "sine-1k-cbr128-joint.mp3");
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        QVERIFY(np.ESPlay(h));
        QVERIFY(waitUntil([&] { return np.ESGetPlayerMode(h) != 4; }, 8000));
        QCOMPARE(np.ESGetPlayerMode(h), 3);
    }
    QTest::qWait(200);
    QVERIFY(monitor.stop(recording));
}

// What reaches the sink: at full volume exactly the decoded samples, each once; at half volume
// the same 1 kHz tone 18 dB lower (the server's volume curve is cubic).
void tst_playback::soundReachesTheSink()
{
    Pcm reference, full, half;
    QVERIFY(referenceDecode(fixture("sine-1k-cbr128-joint.mp3"), reference));
    recordSine(0xFFFFFFFF, full);
    if (QTest::currentTestFailed())
        return;
    recordSine(0x80008000, half);
    if (QTest::currentTestFailed())
        return;

    const auto refFirst = soundingSpan(reference).first;
    const auto first = soundingSpan(full).first;
    QVERIFY2(first >= refFirst, "the sink played silence");
    Pcm heard{Rate, 2, full.samples.mid((first - refFirst) * 2, reference.samples.size())};
    QCOMPARE(heard.frames(), reference.frames());
    const Match match = bestMatch(reference, heard, 16);
    QCOMPARE(match.offset, 0);
    QCOMPARE(match.maxDifference, 0);

    // The middle second of the tone, wherever it lies in each recording.
    struct Tone {
        double spanMs, leftDb, rightDb, hz;
    };
    auto measure = [](const Pcm &pcm) {
        const auto [from, to] = soundingSpan(pcm);
        const qsizetype middle = (from + to) / 2 - Rate / 2;
        return Tone{(to - from) * 1000.0 / Rate, rmsDb(pcm, 0, middle, Rate),
                    rmsDb(pcm, 1, middle, Rate), frequency(pcm, 0, middle, Rate)};
    };
    const Tone decoded = measure(reference), loud = measure(full), quiet = measure(half);
    qInfo("decoded %.2f dBFS; heard at full volume %.2f dBFS at %.1f Hz, at half volume %.2f "
          "dBFS at %.1f Hz",
          decoded.leftDb, loud.leftDb, loud.hz, quiet.leftDb, quiet.hz);

    // The fixture's encoder left the -6 dBFS sine at about -9.5 dBFS RMS (-9.03 nominal).
    QVERIFY2(std::abs(loud.leftDb - 20 * std::log10(0.5 / std::sqrt(2.0))) <= 1.0,
             qPrintable(QString::number(loud.leftDb)));
    QVERIFY2(std::abs(loud.hz - 1000) <= 5, qPrintable(QString::number(loud.hz)));
    QVERIFY2(std::abs(quiet.hz - 1000) <= 5, qPrintable(QString::number(quiet.hz)));
    QVERIFY2(std::abs(quiet.spanMs - decoded.spanMs) <= 20,
             qPrintable(QString::number(quiet.spanMs)));
    QVERIFY2(std::abs(quiet.rightDb - quiet.leftDb) <= 0.1, "the channels differ");
    const double drop = 20 * std::log10(std::pow(0.5, 3));
    QVERIFY2(std::abs((quiet.leftDb - loud.leftDb) - drop) <= 1.5,
             qPrintable(QString::number(quiet.leftDb - loud.leftDb)));
}

void tst_playback::deviceNumbers_data()
{
    QTest::addColumn<int>("device");
    QTest::addColumn<QString>("sink"); // empty: no such device
    QTest::newRow("0: default") << 0 << "second";
    QTest::newRow("1: first listed") << 1 << "first";
    QTest::newRow("2: second listed") << 2 << "second";
    QTest::newRow("3: none") << 3 << "";
    QTest::newRow("99: none") << 99 << "";
}

// Device n is the n-th sink the server lists, not its index nor the default.
void tst_playback::deviceNumbers()
{
    QFETCH(int, device);
    QFETCH(QString, sink);
    PrivateServer server({"sink_name=first norewinds=1", "sink_name=second norewinds=1"});
    QVERIFY(server.start());
    ServerAddress address(server.address());
    QVERIFY(!tool("pactl", {"set-default-sink", "second"}).isNull());

    Handle h(np);
    QString failed = load(h, "one-second.mp3", omMMSystem, false);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QVERIFY(np.ESSetDevNum(h, device));
    if (sink.isEmpty()) {
        QVERIFY(!np.ESInitStream(h));
        QCOMPARE(np.ESLastError(h), 6);
        QCOMPARE(np.ESGetPlayerMode(h), 1);
        QCOMPARE(sinkInputCount(), 0);
        // The handle is not spoilt: the default device works.
        QVERIFY(np.ESSetDevNum(h, 0));
    }
    QVERIFY2(np.ESInitStream(h), qPrintable(lastError(h, "ESInitStream")));
    QCOMPARE(np.ESGetPlayerMode(h), 2);
    const auto inputs = shortList("sink-inputs");
    QCOMPARE(inputs.size(), 1);
    QString playsOn;
    for (const auto &row : shortList("sinks"))
        if (row[0] == inputs[0][1])
            playsOn = row[1];
    QCOMPARE(playsOn, sink.isEmpty() ? QString("second") : sink);
}

// A server killed mid-song ends it with error 6; with no server ESInitStream fails at once;
// once the server is back the same handle plays again.
void tst_playback::serverLost()
{
    PrivateServer server;
    QVERIFY(server.start());
    ServerAddress address(server.address());

    Handle h(np);
    QString failed = load(h, "two-seconds.mp3");
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QVERIFY(np.ESPlay(h));
    QVERIFY(waitUntil([&] { return np.ESGetPos(h) >= 300; }, 2000));
    const int heard = np.ESGetPos(h);

    server.kill();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(waitUntil([&] { return np.ESGetPlayerMode(h) != 4; }, 3000));
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(np.ESGetPlayerMode(h), 3);
    QCOMPARE(np.ESLastError(h), 6);
    // The last position heard stands, not the end of the file.
    const int ended = np.ESGetPos(h);
    QVERIFY2(ended >= heard && ended < heard + 500, qPrintable(QString::number(ended)));
    QVERIFY(np.ESClose(h));
    QCOMPARE(np.ESGetPlayerMode(h), 0);

    QVERIFY(np.ESOpen(h));
    clock.restart();
    QVERIFY(!np.ESInitStream(h));
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(np.ESLastError(h), 6);
    QCOMPARE(np.ESGetPlayerMode(h), 1);

    QVERIFY(server.start());
    QVERIFY(np.ESOpen(h));
    QVERIFY2(np.ESInitStream(h), qPrintable(lastError(h, "ESInitStream")));
    QVERIFY(np.ESPlay(h));
    QVERIFY(waitUntil([&] { return np.ESGetPos(h) >= 200; }, 2000));
    QCOMPARE(np.ESGetPlayerMode(h), 4);
    QVERIFY(np.ESClose(h));
}

// Nothing listens on the socket: refused quickly, not after a connect timeout.
void tst_playback::serverMissing()
{
    QTemporaryDir dir("/tmp/norl-pb-XXXXXX");
    ServerAddress address("unix:" + dir.filePath("native"));
    Handle h(np);
    QString failed = load(h, "one-second.mp3", omDirectSound, false);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!np.ESInitStream(h));
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(np.ESLastError(h), 6);
    QVERIFY(!np.ESPlay(h));
    QCOMPARE(np.ESLastError(h), 2);
}

// A server that does not answer holds the caller only a moment, both before the handle first
// connected and once it has; the same handle plays when the server answers again.
void tst_playback::serverHung()
{
    PrivateServer server;
    QVERIFY(server.start());
    ServerAddress address(server.address());
    Handle h(np);
    QString failed = load(h, "one-second.mp3", omMMSystem, false);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    for (const char *connected : {"not connected yet", "connected before"}) {
        server.freeze(true);
        QElapsedTimer clock;
        clock.start();
        QVERIFY2(!np.ESInitStream(h), connected);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(np.ESLastError(h), 6);
        QCOMPARE(np.ESGetPlayerMode(h), 1);

        server.freeze(false);
        QVERIFY2(np.ESInitStream(h), qPrintable(lastError(h, "ESInitStream")));
        QVERIFY(np.ESPlay(h));
        QVERIFY(waitUntil([&] { return np.ESGetPos(h) >= 200; }, 2000));
        QVERIFY(np.ESOpen(h));
    }
}

// Two handles play at once, each at its own pace, each ending on its own.
void tst_playback::handlesPlayTogether()
{
    Handle one(np), two(np);
    QString failed = load(one, "one-second.mp3");
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    failed = load(two, "two-seconds.mp3", omDirectSound);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QVERIFY(np.ESPlay(one));
    QVERIFY(np.ESPlay(two));
    QCOMPARE(sinkInputCount(), 2);

    QVERIFY(waitUntil([&] { return np.ESGetPlayerMode(one) != 4; }, 4000));
    QCOMPARE(np.ESGetPlayerMode(one), 3);
    QCOMPARE(np.ESGetPlayerMode(two), 4);
    const int halfway = np.ESGetPos(two);
    QVERIFY2(std::abs(halfway - np.ESGetSize(one)) <= 200, qPrintable(QString::number(halfway)));
    QVERIFY(waitUntil([&] { return np.ESGetPlayerMode(two) != 4; }, 4000));
    QCOMPARE(np.ESGetPlayerMode(two), 3);
    QCOMPARE(np.ESGetPos(two), np.ESGetSize(two));
}

void tst_playback::callbackBesideTheServer_data()
{
    QTest::addColumn<bool>("afterInitStream");
    QTest::newRow("before ESOpen") << false;
    QTest::newRow("between ESInitStream and ESPlay, as hosts do") << true;
}

// ESUseOutCB(1): the OutputProc sees every decoded sample, framed by Init and its end, while
// the song plays through the server in real time.
void tst_playback::callbackBesideTheServer()
{
    QFETCH(bool, afterInitStream);
    Pcm reference;
    QVERIFY(referenceDecode(fixture("one-second.mp3"), reference));

    Tap tap;
    Handle h(np);
    QVERIFY(np.ESSetOutCB(h, &Tap::onBlock, &Tap::onAction, &tap));
    if (!afterInitStream)
        QVERIFY(np.ESUseOutCB(h, 1));
    QString failed = load(h, "one-second.mp3", omMMSystem);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    if (afterInitStream) {
        QThread::msleep(200); // the server's buffer is prefilled meanwhile
        QVERIFY(np.ESUseOutCB(h, 1));
    }
    QCOMPARE(sinkInputCount(), 1);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(np.ESPlay(h));
    QVERIFY(waitUntil([&] { return np.ESGetPlayerMode(h) != 4; }, 4000));
    QCOMPARE(np.ESGetPlayerMode(h), 3);
    QVERIFY2(clock.elapsed() >= np.ESGetSize(h) - 100,
             qPrintable(QString::number(clock.elapsed())));

    std::lock_guard lock(tap.mutex);
    QCOMPARE(tap.events, (QList<int>{1, 2, 0}));
    QVERIFY(!tap.formatChanged);
    QCOMPARE(tap.pcm.rate, reference.rate);
    QCOMPARE(tap.pcm.channels, reference.channels);
    QCOMPARE(tap.pcm.frames(), reference.frames());
    QCOMPARE(bestMatch(reference, tap.pcm, 0).maxDifference, 0);
}

// The tap sees the PCM that goes to the server: the boost starts within the read-ahead of
// the moment it was set.
void tst_playback::equalizerChangeIsHeardWhilePlaying()
{
    Tap tap;
    Handle h(np);
    QVERIFY(np.ESSetOutCB(h, &Tap::onBlock, &Tap::onAction, &tap));
    QVERIFY(np.ESUseOutCB(h, 1));
    QVERIFY(np.ESSetBuffers(h, 2, 8192)); // 93 ms of read-ahead
    QVERIFY(np.ESUseEQ(h, 1));
    QString failed = load(h, "eq-tones.mp3", omMMSystem);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QVERIFY(np.ESPlay(h));
    QThread::msleep(300);
    QVERIFY(np.ESEQ(h, 5, 120)); // 1 kHz, the left channel
    QVERIFY(waitUntil([&] { return np.ESGetPlayerMode(h) != 4; }, 4000));

    std::lock_guard lock(tap.mutex);
    const qsizetype step = Rate / 20;
    QVERIFY(tap.pcm.frames() > 20 * step);
    const double before = rmsDb(tap.pcm, 0, step, step);
    qsizetype boostedFrom = -1;
    for (qsizetype at = step; at + step <= tap.pcm.frames(); at += step / 5) {
        if (rmsDb(tap.pcm, 0, at, step) - before > 11) {
            boostedFrom = at;
            break;
        }
    }
    qInfo("boosted from %lld ms", qlonglong(boostedFrom * 1000 / Rate));
    QVERIFY(boostedFrom * 1000 / Rate > 200);
    QVERIFY(boostedFrom * 1000 / Rate < 700);
    QVERIFY(rmsDb(tap.pcm, 0, tap.pcm.frames() - 2 * step, step) - before > 11);
}

QTEST_GUILESS_MAIN(tst_playback)
#include "tst_playback.moc"
