// What the library decodes, checked against an independent decoder front end (the mpg123
// command line): every good fixture, every input and output path, seeking, limits, and input
// or output failures in the middle of a song, and the equalizer. Uses the WAV and callback outputs
// only.
#include <QtTest>
#include <cstring>

#include "library.h"
#include "pcm.h"

namespace {

// An input served from memory through the input callbacks.
struct MemoryInput {
    QByteArray data;
    bool seekable = true;
    qint64 failFrom = -1; // reads at or past this offset fail
    bool seekFails = false;
    bool openFails = false;
    qint64 position = 0;
    int opens = 0, closes = 0, foreignUserData = 0;

    static constexpr int32_t Token = 4242;

    static MemoryInput &of(void *context) { return *static_cast<MemoryInput *>(context); }
    void check(int32_t userData) { foreignUserData += userData != Token; }

    static NpBool NP_STDCALL open(void *c, int32_t *userData, NpFlag *canSeek)
    {
        auto &in = of(c);
        if (in.openFails)
            return 0;
        ++in.opens;
        in.position = 0;
        *userData = Token;
        *canSeek = in.seekable;
        return 1;
    }
    static NpBool NP_STDCALL close(void *c, int32_t userData)
    {
        of(c).check(userData);
        ++of(c).closes;
        return 1;
    }
    static NpBool NP_STDCALL getSize(void *c, int32_t userData, int32_t *size)
    {
        of(c).check(userData);
        *size = int32_t(of(c).data.size());
        return 1;
    }
    static NpBool NP_STDCALL seek(void *c, int32_t userData, int32_t newPos, int32_t mode)
    {
        auto &in = of(c);
        in.check(userData);
        qint64 base = mode == 0 ? 0 : mode == 1 ? in.position : in.data.size();
        if (in.seekFails || !in.seekable || base + newPos < 0 || base + newPos > in.data.size())
            return 0;
        in.position = base + newPos;
        return 1;
    }
    static NpBool NP_STDCALL read(void *c, int32_t userData, void *buffer, int32_t want,
                                  int32_t *got)
    {
        auto &in = of(c);
        in.check(userData);
        if (in.failFrom >= 0 && in.position >= in.failFrom)
            return 0;
        qint64 n = qMin<qint64>(want, in.data.size() - in.position);
        std::memcpy(buffer, in.data.constData() + in.position, size_t(n));
        in.position += n;
        *got = int32_t(n);
        return 1;
    }
};

// Collects what the output callbacks hand over.
struct Collector {
    Pcm pcm;
    QStringList events;
    int badBlocks = 0;
    int refuseBlock = -1; // answer False for this block
    int blockDelayMs = 0; // a host that takes its time, as a device would
    std::function<void()> onFirstBlock;

    static Collector &of(void *context) { return *static_cast<Collector *>(context); }

    static NpBool NP_STDCALL output(const void *data, int32_t bits, int32_t channels, int32_t rate,
                                    int32_t size, void *c)
    {
        auto &out = of(c);
        if (out.events.size() == 1 && out.onFirstBlock)
            out.onFirstBlock();
        if (out.blockDelayMs > 0)
            QThread::msleep(out.blockDelayMs);
        if (bits != 16 || channels < 1 || channels > 2 || size % (2 * channels) != 0 ||
            (out.pcm.rate && (rate != out.pcm.rate || channels != out.pcm.channels)))
            ++out.badBlocks;
        out.pcm.rate = rate;
        out.pcm.channels = channels;
        const auto *s = static_cast<const int16_t *>(data);
        out.pcm.samples.append(QList<int16_t>(s, s + size / 2));
        if (out.events.isEmpty() || out.events.last() != QLatin1String("block"))
            out.events << QStringLiteral("block");
        return out.events.size() - 1 == out.refuseBlock ? 0 : 1;
    }
    static NpBool NP_STDCALL action(NpBool init, void *c)
    {
        of(c).events << ((init & 0xff) ? QStringLiteral("init") : QStringLiteral("done"));
        return 1;
    }
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const char *const GoodFixtures[] = {"sine-1k-cbr128-joint.mp3",
                                    "sine-1k-cbr128-info.mp3",
                                    "mono-cbr64.mp3",
                                    "mpeg2-22k.mp3",
                                    "vbr-xing.mp3",
                                    "vbr-noxing.mp3",
                                    "big-id3v2.mp3",
                                    "one-second.mp3",
                                    "two-seconds.mp3",
                                    "truncated.mp3"};

} // namespace

class tst_decoding : public QObject {
    Q_OBJECT

    NorlplayLibrary lib;
    NpHandle h = 0;
    QTemporaryDir tmp;
    MemoryInput input;
    Collector collector;

    QString wavPath() const { return tmp.filePath(QStringLiteral("out.wav")); }

    bool open(const QString &file, int inputMode)
    {
        lib.ESSetInputMode(h, inputMode);
        if (inputMode == imCallback)
            input.data = readAll(file);
        lib.ESSetInputName(h, file.toLocal8Bit().constData());
        return lib.ESOpen(h) & 0xff;
    }

    bool start(int outputMode)
    {
        lib.ESSetOutputMode(h, outputMode);
        lib.ESSetOutputName(h, wavPath().toLocal8Bit().constData());
        return (lib.ESInitStream(h) & 0xff) && (lib.ESPlay(h) & 0xff);
    }

    bool playedToTheEnd()
    {
        QDeadlineTimer deadline(20000);
        while (lib.ESGetPlayerMode(h) != NP_MODE_ENDED && !deadline.hasExpired())
            QThread::msleep(2);
        return lib.ESGetPlayerMode(h) == NP_MODE_ENDED;
    }

    // What the chosen output received for a stream played from its current position.
    Pcm received(int outputMode)
    {
        if (outputMode == omCallback)
            return collector.pcm;
        Pcm pcm;
        QString why;
        if (!readWav(wavPath(), pcm, &why))
            qWarning() << why;
        return pcm;
    }

    Pcm decode(const QString &file, int inputMode, int outputMode)
    {
        if (!open(file, inputMode) || !start(outputMode) || !playedToTheEnd())
            return {};
        lib.ESClose(h);
        return received(outputMode);
    }

    // eq-tones.mp3 has 1 kHz on the left and 100 Hz on the right.
    struct ToneLevels {
        double at1k = 0, at100 = 0;
    };
    ToneLevels toneLevels()
    {
        Pcm pcm = decode(fixture("eq-tones.mp3"), imFile, omFile);
        if (pcm.frames() < 40000)
            return {-200, -200};
        // Skips the encoder's and the filters' lead-in.
        return {rmsDb(pcm, 0, 4410, 30000), rmsDb(pcm, 1, 4410, 30000)};
    }
    bool eq(int band, int gain) { return lib.ESEQ(h, band, gain) & 0xff; }

private slots:
    void initTestCase() { QVERIFY2(lib.loaded(), qPrintable(lib.error())); }
    void init()
    {
        input = MemoryInput();
        collector = Collector();
        h = lib.ESInitModule();
        QVERIFY(h != 0);
        lib.ESSetInCB(h, MemoryInput::open, MemoryInput::close, MemoryInput::getSize,
                      MemoryInput::seek, MemoryInput::read, &input);
        lib.ESSetOutCB(h, Collector::output, Collector::action, &collector);
    }
    void cleanup() { lib.ESDeInitModule(h); }

    void matchesTheReferenceDecoder_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *f : GoodFixtures)
            QTest::newRow(f) << fixture(f);
        QTest::newRow("demo song") << QStringLiteral(NORL_FIXTURES_DIR "/../../data/demo/demo.mp3");
    }
    void matchesTheReferenceDecoder()
    {
        QFETCH(QString, file);
        Pcm reference, ours;
        QVERIFY(referenceDecode(file, reference));
        ours = decode(file, imFile, omFile);
        QCOMPARE(lib.ESLastError(h), 0);
        QCOMPARE(ours.rate, reference.rate);
        QCOMPARE(ours.channels, reference.channels);
        QCOMPARE(ours.frames(), reference.frames());
        Match m = bestMatch(reference, ours);
        QCOMPARE(m.offset, qsizetype(0));
        QVERIFY2(m.maxDifference <= 1, qPrintable(QString::number(m.maxDifference)));
    }

    void everyPathGivesTheSamePcm_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *f : {"sine-1k-cbr128-info.mp3", "mono-cbr64.mp3", "mpeg2-22k.mp3",
                              "vbr-xing.mp3", "vbr-noxing.mp3", "big-id3v2.mp3"})
            QTest::newRow(f) << fixture(f);
    }
    void everyPathGivesTheSamePcm()
    {
        QFETCH(QString, file);
        Pcm fromFile = decode(file, imFile, omFile);
        QVERIFY(fromFile.frames() > 0);

        QCOMPARE(decode(file, imFile, omCallback).samples, fromFile.samples);
        QCOMPARE(decode(file, imCallback, omFile).samples, fromFile.samples);
        QCOMPARE(input.opens, 1);
        QCOMPARE(input.closes, 1);

        collector = Collector();
        input.seekable = false;
        Pcm streamed = decode(file, imCallback, omCallback);
        QCOMPARE(streamed.samples, fromFile.samples);
        QCOMPARE(input.foreignUserData, 0);
        QCOMPARE(input.closes, 2);
    }

    void outputCallbacksBracketTheBlocks()
    {
        QVERIFY(open(fixture("two-seconds.mp3"), imFile));
        QVERIFY(start(omCallback));
        QVERIFY(playedToTheEnd());
        QCOMPARE(collector.events, QStringList({"init", "block", "done"}));
        QCOMPARE(collector.badBlocks, 0);
        QCOMPARE(collector.pcm.rate, 44100);
        QCOMPARE(collector.pcm.channels, 2);
        QCOMPARE(lib.ESGetPos(h), lib.ESGetSize(h));

        // Stopped and started again: the same song once more, bracketed again.
        QVERIFY(lib.ESStop(h) & 0xff);
        QCOMPARE(lib.ESGetPlayerMode(h), NP_MODE_STOPPED);
        QCOMPARE(lib.ESGetPos(h), 0);
        QVERIFY(lib.ESInitStream(h) & 0xff);
        QCOMPARE(lib.ESGetPlayerMode(h), NP_MODE_READY);
        QVERIFY(lib.ESPlay(h) & 0xff);
        QVERIFY(playedToTheEnd());
        QCOMPARE(collector.events, QStringList({"init", "block", "done", "init", "block", "done"}));
        QCOMPARE(collector.pcm.frames(), 2 * 89856);
    }

    void seekingIsSampleAccurate_data()
    {
        QTest::addColumn<int>("whenMode");
        QTest::newRow("opened") << int(NP_MODE_OPENED);
        QTest::newRow("ready") << int(NP_MODE_READY);
        QTest::newRow("stopped") << int(NP_MODE_STOPPED);
    }
    void seekingIsSampleAccurate()
    {
        QFETCH(int, whenMode);
        const QString file = fixture("vbr-xing.mp3"); // no two stretches alike
        Pcm reference;
        QVERIFY(referenceDecode(file, reference));
        QVERIFY(open(file, imFile));
        lib.ESSetOutputMode(h, omCallback);
        if (whenMode == NP_MODE_STOPPED)
            QVERIFY(lib.ESStop(h) & 0xff);
        if (whenMode != NP_MODE_OPENED)
            QVERIFY(lib.ESInitStream(h) & 0xff);
        QVERIFY(lib.ESSetPos(h, 1500) & 0xff);
        QCOMPARE(lib.ESGetPos(h), 1500);
        if (whenMode == NP_MODE_OPENED)
            QVERIFY(lib.ESInitStream(h) & 0xff);
        QVERIFY(lib.ESPlay(h) & 0xff);
        QVERIFY(playedToTheEnd());

        const qsizetype from = 1500 * 44100 / 1000;
        const Pcm &got = collector.pcm;
        QCOMPARE(got.frames(), reference.frames() - from);
        QVERIFY(std::equal(got.samples.begin(), got.samples.end(),
                           reference.samples.begin() + from * reference.channels));
    }

    void limitsPlayOnlyTheirRange_data()
    {
        QTest::addColumn<int>("startMs");
        QTest::addColumn<int>("endMs");
        QTest::addColumn<int>("firstFrame");
        QTest::addColumn<int>("endFrame"); // -1: the end of the song
        QTest::newRow("middle") << 500 << 1500 << 22050 << 66150;
        QTest::newRow("from the start") << 0 << 1000 << 0 << 44100;
        QTest::newRow("to the end") << 4000 << 0 << 176400 << -1;
        QTest::newRow("whole") << 0 << 0 << 0 << -1;
        QTest::newRow("end past the song") << 0 << 99999 << 0 << -1;
        QTest::newRow("start past the song") << 60000 << 0 << 0 << 0;
    }
    void limitsPlayOnlyTheirRange()
    {
        QFETCH(int, startMs);
        QFETCH(int, endMs);
        QFETCH(int, firstFrame);
        QFETCH(int, endFrame);
        const QString file = fixture("vbr-xing.mp3");
        Pcm reference;
        QVERIFY(referenceDecode(file, reference));
        if (endFrame < 0)
            endFrame = int(reference.frames());
        QVERIFY(open(file, imFile));
        QVERIFY(lib.ESSetLimits(h, startMs, endMs) & 0xff);
        QVERIFY(start(omFile));
        QVERIFY(playedToTheEnd());
        QCOMPARE(lib.ESLastError(h), 0);
        Pcm got = received(omFile);
        QCOMPARE(got.frames(), qsizetype(endFrame - firstFrame));
        QVERIFY(std::equal(got.samples.begin(), got.samples.end(),
                           reference.samples.begin() + firstFrame * reference.channels));
    }

    void inputFailingMidSongEndsIt_data()
    {
        QTest::addColumn<bool>("callbackInput");
        QTest::newRow("read callback fails") << true;
        QTest::newRow("file cut short") << false;
    }
    void inputFailingMidSongEndsIt()
    {
        QFETCH(bool, callbackInput);
        const QString copy = tmp.filePath(QStringLiteral("song.mp3"));
        QFile::remove(copy);
        QVERIFY(QFile::copy(QStringLiteral(NORL_FIXTURES_DIR "/../../data/demo/demo.mp3"), copy));
        QVERIFY(open(copy, callbackInput ? imCallback : imFile));
        collector.onFirstBlock = [&] {
            if (callbackInput)
                input.failFrom = 0;
            else
                QFile::resize(copy, 1000);
        };
        QVERIFY(start(omCallback));
        QVERIFY(playedToTheEnd());
        QCOMPARE(lib.ESLastError(h), 5);
        QVERIFY(collector.pcm.frames() > 0);
        QCOMPARE(collector.events.last(), QStringLiteral("done"));
        QVERIFY(lib.ESClose(h) & 0xff);
    }

    void inputFailingWhileOpeningIsRefused()
    {
        input.failFrom = 30000; // the scan for the length reads the whole song
        input.data = readAll(fixture("vbr-noxing.mp3"));
        lib.ESSetInputMode(h, imCallback);
        QVERIFY(!(lib.ESOpen(h) & 0xff));
        QCOMPARE(lib.ESLastError(h), 5);
        QCOMPARE(input.opens, 1);
        QCOMPARE(input.closes, 1);
    }

    // The input stops seeking (or opening again) while a song plays, is paused or has ended;
    // the call that meets the failure reports it and leaves a mode every entry point accepts.
    void failingRewindOrSeekLeavesAUsableHandle_data()
    {
        QTest::addColumn<bool>("seekable"); // else going back means opening the input again
        QTest::addColumn<int>("when");      // mode in which the failing call comes
        QTest::addColumn<int>("call");      // 0 ESStop, 1 ESInitStream, 2 ESSetPos
        QTest::addColumn<int>("modeAfter"); // -1: the song goes on and ends with the error
        QTest::newRow("stop while playing") << true << int(NP_MODE_PLAYING) << 0 << 0;
        QTest::newRow("stop while paused") << true << int(NP_MODE_PAUSED) << 0 << 0;
        QTest::newRow("stop, no reopening") << false << int(NP_MODE_PAUSED) << 0 << 0;
        QTest::newRow("init stream at the end") << true << int(NP_MODE_ENDED) << 1 << 0;
        QTest::newRow("init stream, no reopening") << false << int(NP_MODE_ENDED) << 1 << 0;
        QTest::newRow("seek while playing") << true << int(NP_MODE_PLAYING) << 2 << -1;
        QTest::newRow("seek while paused") << true << int(NP_MODE_PAUSED) << 2 << -1;
    }
    void failingRewindOrSeekLeavesAUsableHandle()
    {
        QFETCH(bool, seekable);
        QFETCH(int, when);
        QFETCH(int, call);
        QFETCH(int, modeAfter);
        const QString song = QStringLiteral(NORL_FIXTURES_DIR "/../../data/demo/demo.mp3");
        input.seekable = seekable;
        QVERIFY(open(song, imCallback));
        auto breakInput = [&] { (seekable ? input.seekFails : input.openFails) = true; };
        if (when == NP_MODE_ENDED) {
            QVERIFY(start(omCallback));
            QVERIFY(playedToTheEnd());
            breakInput();
        } else {
            collector.blockDelayMs = 3;
            collector.onFirstBlock = breakInput; // on the thread that reads the input
            QVERIFY(start(omCallback));
            // Past the reader's buffer, so that going back needs the input.
            QVERIFY(QTest::qWaitFor([&] { return lib.ESGetPos(h) >= 5000; }));
            if (when == NP_MODE_PAUSED)
                QVERIFY(lib.ESPause(h) & 0xff);
            QCOMPARE(lib.ESGetPlayerMode(h), when);
        }

        NpBool ok = call == 0   ? lib.ESStop(h)
                    : call == 1 ? lib.ESInitStream(h)
                                : lib.ESSetPos(h, 100);
        QVERIFY(!(ok & 0xff));
        QCOMPARE(lib.ESLastError(h), int(NP_ERROR_INPUT));
        if (modeAfter >= 0) {
            QCOMPARE(lib.ESGetPlayerMode(h), modeAfter);
        } else {
            QCOMPARE(lib.ESGetPlayerMode(h), when);
            lib.ESResume(h);
            QVERIFY(playedToTheEnd());
            QCOMPARE(lib.ESLastError(h), int(NP_ERROR_INPUT));
        }

        // Whatever comes next fails or works cleanly, and the handle plays the next song.
        const std::function<NpBool()> calls[] = {[&] { return NpBool(lib.ESGetPos(h) >= 0); },
                                                 [&] { return lib.ESResume(h); },
                                                 [&] { return lib.ESPause(h); },
                                                 [&] { return lib.ESSetPos(h, 0); },
                                                 [&] { return lib.ESPlay(h); },
                                                 [&] { return lib.ESStop(h); },
                                                 [&] { return lib.ESInitStream(h); },
                                                 [&] { return lib.ESPlay(h); },
                                                 [&] { return NpBool(lib.ESGetSize(h) >= 0); },
                                                 [&] { return lib.ESPause(h); },
                                                 [&] { return lib.ESGetPos(h) >= 0; }};
        for (const auto &next : calls) {
            bool succeeded = next() & 0xff;
            int mode = lib.ESGetPlayerMode(h);
            QVERIFY2(mode >= NP_MODE_CLOSED && mode <= NP_MODE_STOPPED,
                     qPrintable(QString::number(mode)));
            QVERIFY(succeeded || lib.ESLastError(h) > 0);
        }
        QVERIFY(lib.ESClose(h) & 0xff);
        input.seekFails = input.openFails = false;
        collector = Collector();
        QVERIFY(open(song, imCallback));
        QVERIFY(start(omCallback));
        QVERIFY(playedToTheEnd());
        QCOMPARE(lib.ESGetPos(h), lib.ESGetSize(h));
    }

    void outputRefusingMidSongEndsIt()
    {
        collector.refuseBlock = 1;
        QVERIFY(open(fixture("two-seconds.mp3"), imFile));
        QVERIFY(start(omCallback));
        QVERIFY(playedToTheEnd());
        QCOMPARE(lib.ESLastError(h), 6);
    }

    void wavFileIsCompleteWhenStoppedOrClosed_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("stop") << false;
        QTest::newRow("close") << true;
    }
    void wavFileIsCompleteWhenStoppedOrClosed()
    {
        QFETCH(bool, close);
        QVERIFY(open(QStringLiteral(NORL_FIXTURES_DIR "/../../data/demo/demo.mp3"), imFile));
        QVERIFY(start(omFile));
        QThread::msleep(5);
        QVERIFY((close ? lib.ESClose(h) : lib.ESStop(h)) & 0xff);
        Pcm pcm;
        QString why;
        QVERIFY2(readWav(wavPath(), pcm, &why), qPrintable(why));
        QCOMPARE(pcm.rate, 44100);
    }

    void equalizerFlatOrOffLeavesTheOutputUntouched()
    {
        NpFlag has = 0;
        QVERIFY(lib.ESHasEQ(h, &has) & 0xff);
        QCOMPARE(has, NpFlag(1));
        const QString file = fixture("vbr-xing.mp3");
        Pcm untouched = decode(file, imFile, omFile);
        QVERIFY(untouched.frames() > 0);

        QVERIFY(lib.ESUseEQ(h, 1) & 0xff);
        QCOMPARE(decode(file, imFile, omFile).samples, untouched.samples);

        QVERIFY(eq(5, 120) && eq(-1, -30));
        QVERIFY(decode(file, imFile, omFile).samples != untouched.samples);
        QVERIFY(lib.ESUseEQ(h, 0) & 0xff);
        QCOMPARE(decode(file, imFile, omFile).samples, untouched.samples);
    }

    void equalizerBandsAndPreamp_data()
    {
        QTest::addColumn<int>("band");
        QTest::addColumn<int>("gain");
        QTest::addColumn<double>("change1k"); // dB
        QTest::addColumn<double>("slack1k");
        QTest::addColumn<double>("change100");
        QTest::addColumn<double>("slack100");
        QTest::newRow("1 kHz +12") << 5 << 120 << 12.0 << 1.5 << 0.0 << 3.0;
        QTest::newRow("1 kHz -12") << 5 << -120 << -12.0 << 1.5 << 0.0 << 3.0;
        QTest::newRow("16 kHz +12") << 9 << 120 << 0.0 << 1.0 << 0.0 << 1.0;
        QTest::newRow("preamp +6") << -1 << 60 << 6.0 << 0.5 << 6.0 << 0.5;
        QTest::newRow("preamp -12") << -1 << -120 << -12.0 << 0.5 << -12.0 << 0.5;
    }
    void equalizerBandsAndPreamp()
    {
        QFETCH(int, band);
        QFETCH(int, gain);
        QFETCH(double, change1k);
        QFETCH(double, slack1k);
        QFETCH(double, change100);
        QFETCH(double, slack100);
        ToneLevels before = toneLevels();
        QVERIFY(before.at1k > -30 && before.at100 > -30);
        QVERIFY(lib.ESUseEQ(h, 1) & 0xff);
        QVERIFY(eq(band, gain));
        ToneLevels after = toneLevels();
        qInfo("1 kHz %+.2f dB, 100 Hz %+.2f dB", after.at1k - before.at1k,
              after.at100 - before.at100);
        QVERIFY(qAbs(after.at1k - before.at1k - change1k) <= slack1k);
        QVERIFY(qAbs(after.at100 - before.at100 - change100) <= slack100);
    }

    void equalizerRefusesBandsAndGainsOutOfRange()
    {
        QVERIFY(eq(-1, 120) && eq(9, -120));
        const int refused[][2] = {{-2, 0}, {10, 0}, {0, 121}, {0, -121}, {-1, 121}};
        for (const auto &call : refused) {
            QVERIFY(!eq(call[0], call[1]));
            QCOMPARE(lib.ESLastError(h), 2);
        }
    }

    void equalizerSettingsSurviveCloseAndOpen()
    {
        ToneLevels before = toneLevels();
        // Set while nothing is open: kept for the streams to come.
        QVERIFY(lib.ESUseEQ(h, 1) & 0xff);
        QVERIFY(eq(5, 120));
        ToneLevels first = toneLevels(); // ends with ESClose
        ToneLevels second = toneLevels();
        QVERIFY(first.at1k - before.at1k > 10);
        QCOMPARE(second.at1k, first.at1k);
    }
};

QTEST_GUILESS_MAIN(tst_decoding)
#include "tst_decoding.moc"
