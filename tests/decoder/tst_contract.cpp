// The library as a host binds it: every entry point by name, handles, argument and mode checks,
// the text and record protocols, and the error code of every failure. Needs no sound server.
#include <QtTest>
#include <cstring>
#include <sys/stat.h>

#include "library.h"
#include "pcm.h"

namespace {

// An ID3v2 text frame in the given text encoding (0 Latin-1, 1 UTF-16, 3 UTF-8); its size is a
// plain number in version 3 and sync-safe in version 4.
QByteArray frame(int version, const char *id, char encoding, const QByteArray &text)
{
    const QByteArray body = QByteArray(1, encoding) + text;
    const int n = int(body.size());
    const int shift = version == 4 ? 7 : 8;
    QByteArray bytes(id);
    for (int i = 3; i >= 0; --i)
        bytes += char((n >> (shift * i)) & (version == 4 ? 0x7f : 0xff));
    return bytes + QByteArray(2, '\0') + body;
}

QByteArray id3v2(int version, const QList<QByteArray> &frames)
{
    const QByteArray body = frames.join();
    const int n = int(body.size());
    QByteArray header("ID3");
    header += char(version);
    header += QByteArray(2, '\0');
    for (int i = 3; i >= 0; --i)
        header += char((n >> (7 * i)) & 0x7f);
    return header + body;
}

// The ID3v1 record the library hands out: "TAG" and NUL-padded fields.
QByteArray record(const QByteArray &title, const QByteArray &artist, const QByteArray &album,
                  const QByteArray &year, const QByteArray &comment, int genre)
{
    QByteArray bytes("TAG");
    for (auto [text, size] :
         {std::pair{title, 30}, {artist, 30}, {album, 30}, {year, 4}, {comment, 30}})
        bytes += text + QByteArray(size - text.size(), '\0');
    return bytes + char(genre);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_contract : public QObject {
    Q_OBJECT

    NorlplayLibrary lib;
    NpHandle h = 0;
    QTemporaryDir tmp;

    void openFixture(const QString &name) { openFile(fixture(name)); }
    void openFile(const QString &path)
    {
        QVERIFY(lib.ESSetInputName(h, path.toLocal8Bit().constData()));
        QVERIFY2(lib.ESOpen(h) & 0xff, qPrintable(QString::number(lib.ESLastError(h))));
    }

private slots:
    void initTestCase() { QVERIFY2(lib.loaded(), qPrintable(lib.error())); }
    void init()
    {
        h = lib.ESInitModule();
        QVERIFY(h != 0);
    }
    void cleanup() { lib.ESDeInitModule(h); }

    void entryPointsAreTheFortyOne()
    {
        QStringList names = NorlplayLibrary::entryNames();
        QCOMPARE(names.size(), 41);
        QCOMPARE(names.first(), QStringLiteral("ESInitModule"));
        QCOMPARE(names.last(), QStringLiteral("ESEQ"));
        QCOMPARE(names.indexOf(QStringLiteral("ESGetExts")), 30);
        QCOMPARE(int(names.removeDuplicates()), 0);
        QCOMPARE(lib.ESGetVersion() / 100, 1);
    }

    void textQueries_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("about") << 0;
        QTest::newRow("name") << 1;
        QTest::newRow("extensions") << 2;
    }
    void textQueries()
    {
        QFETCH(int, which);
        auto query = which == 0 ? lib.ESGetAbout : which == 1 ? lib.ESGetName : lib.ESGetExts;
        int32_t size = 0;
        QVERIFY(query(nullptr, &size) & 0xff);
        QVERIFY(size > 0);
        QByteArray buffer(size + 1, '\xAA');
        int32_t tooSmall = size;
        QVERIFY(!(query(buffer.data(), &tooSmall) & 0xff));
        int32_t enough = size + 1;
        QVERIFY(query(buffer.data(), &enough) & 0xff);
        QCOMPARE(buffer.at(size), '\0');
        QCOMPARE(int(std::strlen(buffer.constData())), size);
        if (which == 2)
            QVERIFY(QByteArray(buffer.constData()).split(';').contains("mp3"));
    }

    void handlesThatAreNotLive_data()
    {
        QTest::addColumn<bool>("stale");
        QTest::addColumn<uint>("made");
        QTest::newRow("zero") << false << 0u;
        QTest::newRow("made up") << false << 0xdeadbeefu;
        QTest::newRow("released") << true << 0u;
    }
    void handlesThatAreNotLive()
    {
        QFETCH(bool, stale);
        QFETCH(uint, made);
        NpHandle bad = made;
        if (stale) {
            bad = lib.ESInitModule();
            lib.ESDeInitModule(bad);
        }
        QVERIFY(!(lib.ESSetInputName(bad, "x") & 0xff));
        QVERIFY(!(lib.ESOpen(bad) & 0xff));
        QVERIFY(!(lib.ESPlay(bad) & 0xff));
        QCOMPARE(lib.ESGetPos(bad), -1);
        QCOMPARE(lib.ESGetSize(bad), -1);
        QCOMPARE(lib.ESGetPlayerMode(bad), -1);
        uint32_t volume = 7;
        QVERIFY(!(lib.ESGetVolume(bad, &volume) & 0xff));
        QCOMPARE(volume, 7u);
        QCOMPARE(lib.ESLastError(bad), 4);
        NpFlag eq = 0xAA;
        lib.ESHasEQ(bad, &eq);
        QCOMPARE(eq, NpFlag(0)); // hosts read only the flag
        QVERIFY(!(lib.ESDeInitModule(bad) & 0xff));
        // The live handle is untouched.
        QCOMPARE(lib.ESLastError(h), 0);
    }

    void handlesAreIndependent()
    {
        NpHandle other = lib.ESInitModule();
        QVERIFY(other != 0 && other != h);
        openFixture(QStringLiteral("two-seconds.mp3"));
        QVERIFY(lib.ESSetInputName(other, fixture("mono-cbr64.mp3").toLocal8Bit()));
        QVERIFY(lib.ESOpen(other) & 0xff);
        QCOMPARE(lib.ESGetSize(h), 2037);
        QCOMPARE(lib.ESGetSize(other), 4048);
        QVERIFY(!(lib.ESPause(other) & 0xff));
        QCOMPARE(lib.ESLastError(other), 2);
        QCOMPARE(lib.ESLastError(h), 0);
        lib.ESDeInitModule(other);
        QCOMPARE(lib.ESGetPlayerMode(h), 1);
    }

    void argumentsOutOfRange_data()
    {
        QTest::addColumn<int>("call");
        const char *names[] = {"input mode 2",     "output mode 4",    "output mode -1",
                               "priority 3",       "priority -3",      "buffers count 0",
                               "buffer size 100",  "buffers count 65", "negative start",
                               "negative end",     "device -1",        "null input name",
                               "null output name", "volume nowhere"};
        for (int i = 0; i < int(std::size(names)); ++i)
            QTest::newRow(names[i]) << i;
    }
    void argumentsOutOfRange()
    {
        QFETCH(int, call);
        NpBool ok = 1;
        switch (call) {
        case 0:
            ok = lib.ESSetInputMode(h, 2);
            break;
        case 1:
            ok = lib.ESSetOutputMode(h, 4);
            break;
        case 2:
            ok = lib.ESSetOutputMode(h, -1);
            break;
        case 3:
            ok = lib.ESSetPriority(h, 3);
            break;
        case 4:
            ok = lib.ESSetPriority(h, -3);
            break;
        case 5:
            ok = lib.ESSetBuffers(h, 0, 16384);
            break;
        case 6:
            ok = lib.ESSetBuffers(h, 8, 100);
            break;
        case 7:
            ok = lib.ESSetBuffers(h, 65, 16384);
            break;
        case 8:
            ok = lib.ESSetLimits(h, -1, 0);
            break;
        case 9:
            ok = lib.ESSetLimits(h, 0, -5);
            break;
        case 10:
            ok = lib.ESSetDevNum(h, -1);
            break;
        case 11:
            ok = lib.ESSetInputName(h, nullptr);
            break;
        case 12:
            ok = lib.ESSetOutputName(h, nullptr);
            break;
        case 13:
            ok = lib.ESGetVolume(h, nullptr);
            break;
        }
        QVERIFY(!(ok & 0xff));
        QCOMPARE(lib.ESLastError(h), 2);
    }

    void settingsInRangeAreAccepted()
    {
        for (int level : {-15, -2, -1, 0, 1, 2, 15})
            QVERIFY(lib.ESSetPriority(h, level) & 0xff);
        QVERIFY(lib.ESSetBuffers(h, 12, 16384) & 0xff);
        QVERIFY(lib.ESSetLimits(h, 0, 0) & 0xff);
        QVERIFY(lib.ESSetDevNum(h, 3) & 0xff); // checked when a stream starts
        QVERIFY(lib.ESSetWindow(h, 0x1234) & 0xff);
        QVERIFY(lib.ESUseOutCB(h, 1) & 0xff);
        QVERIFY(lib.ESSetInputName(h, "") & 0xff);
        NpFlag separate = 0;
        QVERIFY(lib.ESCanSetVolume(h, &separate) & 0xff);
        QCOMPARE(separate, NpFlag(1));
        QCOMPARE(lib.ESLastError(h), 0);
    }

    void volumeIsKeptBeforeAnyStream()
    {
        uint32_t v = 0;
        QVERIFY(lib.ESGetVolume(h, &v) & 0xff);
        QCOMPARE(v, 0xffffffffu);
        QVERIFY(lib.ESSetVolume(h, 0x1234abcd) & 0xff); // left high, right low
        QVERIFY(lib.ESGetVolume(h, &v) & 0xff);
        QCOMPARE(v, 0xabcd1234u); // left low, right high
    }

    // libmpg123 as Debian builds it has its equalizer; it is set with or without a stream.
    void equalizerNeedsNoStream()
    {
        NpFlag has = 0xAA;
        QVERIFY(lib.ESHasEQ(h, &has) & 0xff);
        QCOMPARE(has, NpFlag(1));
        QVERIFY(lib.ESUseEQ(h, 0x100) & 0xff); // the low byte counts: off
        QVERIFY(lib.ESEQ(h, 0, -120) & 0xff);
        QVERIFY(lib.ESEQ(h, -1, 120) & 0xff);
        QVERIFY(lib.ESUseEQ(h, 1) & 0xff);
        QCOMPARE(lib.ESLastError(h), 0);
        QCOMPARE(lib.ESGetPlayerMode(h), 0);
    }

    void callsThatNeedAnOpenStream()
    {
        QCOMPARE(lib.ESGetPlayerMode(h), 0);
        QVERIFY(lib.ESClose(h) & 0xff); // nothing to close is fine
        auto refused = [&](NpBool ok) { return !(ok & 0xff) && lib.ESLastError(h) == 2; };
        QVERIFY(refused(lib.ESInitStream(h)));
        QVERIFY(refused(lib.ESPlay(h)));
        QVERIFY(refused(lib.ESPause(h)));
        QVERIFY(refused(lib.ESResume(h)));
        QVERIFY(refused(lib.ESStop(h)));
        QVERIFY(refused(lib.ESSetPos(h, 0)));
        int32_t size = 16;
        char info[16];
        QVERIFY(refused(lib.ESGetInfo1(h, info, &size)));
        const void *tag = nullptr;
        QVERIFY(refused(lib.ESGetInfo2(h, &tag)));
        QCOMPARE(lib.ESGetPos(h), -1);
        QCOMPARE(lib.ESGetSize(h), -1);
        QCOMPARE(lib.ESLastError(h), 2);

        openFixture(QStringLiteral("one-second.mp3"));
        QCOMPARE(lib.ESGetPlayerMode(h), 1);
        QVERIFY(refused(lib.ESPlay(h))); // not ready yet
        QVERIFY(refused(lib.ESPause(h)));
        QVERIFY(refused(lib.ESSetPos(h, -1)));
        QCOMPARE(lib.ESGetPos(h), 0);
        QVERIFY(lib.ESCanSetPos(h) & 0xff);
        QVERIFY(lib.ESClose(h) & 0xff);
        QCOMPARE(lib.ESGetPlayerMode(h), 0);
    }

    void inputsThatCannotOpen_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing") << fixture("no-such-file.mp3");
        QTest::newRow("zero bytes") << fixture("empty.mp3");
        QTest::newRow("random bytes") << fixture("random-bytes.mp3");
        QTest::newRow("folder") << fixture("");
        QTest::newRow("not audio") << fixture("README.md");
        // Opening a pipe without a writer would wait for one for ever.
        const QString fifo = tmp.filePath("fifo.mp3");
        QVERIFY(QFile::exists(fifo) || mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QTest::newRow("FIFO") << fifo;
    }
    void inputsThatCannotOpen()
    {
        QFETCH(QString, path);
        QVERIFY(lib.ESSetInputName(h, path.toLocal8Bit().constData()) & 0xff);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!(lib.ESOpen(h) & 0xff));
        QVERIFY(timer.elapsed() < 1000);
        QCOMPARE(lib.ESLastError(h), 5);
        QCOMPARE(lib.ESGetPlayerMode(h), 0);
        // The handle stays usable.
        openFixture(QStringLiteral("one-second.mp3"));
    }

    void missingCallbacks()
    {
        QVERIFY(lib.ESSetInputMode(h, imCallback) & 0xff);
        QVERIFY(!(lib.ESOpen(h) & 0xff));
        QCOMPARE(lib.ESLastError(h), 9);

        QVERIFY(lib.ESSetInputMode(h, imFile) & 0xff);
        openFixture(QStringLiteral("one-second.mp3"));
        QVERIFY(lib.ESSetOutputMode(h, omCallback) & 0xff);
        QVERIFY(!(lib.ESInitStream(h) & 0xff));
        QCOMPARE(lib.ESLastError(h), 9);
        QCOMPARE(lib.ESGetPlayerMode(h), 1);
    }

    void unwritableOutputFile_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("no folder") << QByteArray("/nonexistent-folder/out.wav");
        QTest::newRow("no name") << QByteArray("");
        QTest::newRow("full disk") << QByteArray("/dev/full");
    }
    void unwritableOutputFile()
    {
        QFETCH(QByteArray, name);
        openFixture(QStringLiteral("one-second.mp3"));
        QVERIFY(lib.ESSetOutputMode(h, omFile) & 0xff);
        QVERIFY(lib.ESSetOutputName(h, name.constData()) & 0xff);
        QVERIFY(!(lib.ESInitStream(h) & 0xff));
        QCOMPARE(lib.ESLastError(h), 6);
    }

    void streamInfo_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("stereoMode");
        QTest::addColumn<int>("bitRate");
        QTest::addColumn<int>("sampleRate");
        QTest::newRow("joint stereo") << "sine-1k-cbr128-joint.mp3" << 1 << 128000 << 44100;
        QTest::newRow("mono") << "mono-cbr64.mp3" << 3 << 64000 << 44100;
        QTest::newRow("MPEG-2") << "mpeg2-22k.mp3" << 1 << 32000 << 22050;
        // VBR reports the file's average: (bytes - tags) * 8 / duration, checked below.
        QTest::newRow("VBR with Xing") << "vbr-xing.mp3" << -1 << -1 << 44100;
        QTest::newRow("VBR without Xing") << "vbr-noxing.mp3" << -1 << -1 << 44100;
    }
    void streamInfo()
    {
        QFETCH(QString, file);
        QFETCH(int, stereoMode);
        QFETCH(int, bitRate);
        QFETCH(int, sampleRate);
        openFixture(file);
        int32_t size = 0;
        QVERIFY(lib.ESGetInfo1(h, nullptr, &size) & 0xff);
        QVERIFY(size >= NP_STREAM_INFO_SIZE);
        QByteArray record(size + 1, '\0');
        int32_t room = size + 1;
        QVERIFY(lib.ESGetInfo1(h, record.data(), &room) & 0xff);
        NpStreamInfo info;
        std::memcpy(&info, record.constData(), sizeof info);
        QCOMPARE(info.layer, 3);
        QCOMPARE(info.sampleRate, sampleRate);
        QVERIFY(info.stereoMode <= 3);
        if (stereoMode >= 0)
            QCOMPARE(int(info.stereoMode), stereoMode);
        if (bitRate >= 0) {
            QCOMPARE(info.bitRate, bitRate);
        } else {
            double average = fileBytes(fixture(file)).size() * 8.0 / (lib.ESGetSize(h) / 1000.0);
            QVERIFY2(qAbs(info.bitRate - average) < average * 0.02,
                     qPrintable(QStringLiteral("%1 vs %2").arg(info.bitRate).arg(average)));
        }
        int32_t small = NP_STREAM_INFO_SIZE - 1;
        QVERIFY(!(lib.ESGetInfo1(h, record.data(), &small) & 0xff));
        QCOMPARE(lib.ESLastError(h), 2);
    }

    // A few frames followed by megabytes of junk: the average would not fit 32 bits.
    void bitRateOfAFewFramesInMuchJunk()
    {
        const QString file = tmp.filePath("junk.mp3");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(fileBytes(fixture("one-second.mp3")).left(4 * 418));
        QVERIFY(out.resize(32 << 20)); // zeros, sparse: 104 ms of sound in 32 MB
        out.close();
        openFile(file);
        int32_t size = NP_STREAM_INFO_SIZE;
        NpStreamInfo info;
        QVERIFY(lib.ESGetInfo1(h, &info, &size) & 0xff);
        QCOMPARE(info.bitRate, INT32_MAX);
    }

    void id3v1Tag()
    {
        openFixture(QStringLiteral("sine-1k-cbr128-joint.mp3"));
        const void *tag = nullptr;
        QVERIFY(lib.ESGetInfo2(h, &tag) & 0xff);
        QVERIFY(tag);
        QByteArray bytes(static_cast<const char *>(tag), NP_ID3V1_SIZE);
        QCOMPARE(bytes, fileBytes(fixture("sine-1k-cbr128-joint.mp3")).right(NP_ID3V1_SIZE));
        QCOMPARE(bytes.mid(3, 30), QByteArray("Thirty Character Title 1234567"));
        QCOMPARE(bytes.mid(93, 4), QByteArray("2024"));

        openFixture(QStringLiteral("sine-1k-cbr128-info.mp3"));
        QVERIFY(!(lib.ESGetInfo2(h, &tag) & 0xff));
        QCOMPARE(lib.ESLastError(h), 5);
    }

    // A file with only an ID3v2 tag: the record is made from it, texts as UTF-8 cut to the
    // fields on character boundaries, whatever encoding the tag's frames use.
    void id3v2OnlyTag_data()
    {
        QTest::addColumn<QByteArray>("tag");
        QTest::addColumn<QByteArray>("record");
        const QByteArray cafe = "Caf\xc3\xa9"; // as UTF-8
        QTest::newRow("v2.3 Latin-1")
            << id3v2(3,
                     {frame(3, "TIT2", 0, "Caf\xe9"), frame(3, "TPE1", 0, "Artist"),
                      frame(3, "TALB", 0, "Album"), frame(3, "TYER", 0, "1999"),
                      frame(3, "TCON", 0, "(8)"), frame(3, "COMM", 0, QByteArray("eng\0Nice", 8))})
            << record(cafe, "Artist", "Album", "1999", "Nice", 8);
        QTest::newRow("v2.3 UTF-16") << id3v2(3, {frame(3, "TIT2", 1,
                                                        QByteArray("\xff\xfe"
                                                                   "C\0a\0f\0\xe9\0",
                                                                   10)),
                                                  frame(3, "TCON", 0, "Jazz")})
                                     << record(cafe, "", "", "", "", 255);
        // 29 bytes and a two-byte character: the character does not fit in 30 and is left out.
        const QByteArray long29(29, 'x');
        QTest::newRow("v2.4 UTF-8 cut whole")
            << id3v2(4, {frame(4, "TIT2", 3, long29 + "\xc3\xa9"),
                         frame(4, "TDRC", 3, "2019-05-01"), frame(4, "TCON", 3, "17")})
            << record(long29, "", "", "2019", "", 17);
        QTest::newRow("the fixture made by lame")
            << QByteArray() << record("Big Tag", "Fixture Artist", "", "", "", 255);
    }
    void id3v2OnlyTag()
    {
        QFETCH(QByteArray, tag);
        QFETCH(QByteArray, record);
        if (tag.isEmpty()) {
            openFixture(QStringLiteral("big-id3v2.mp3"));
        } else {
            QFile file(tmp.filePath("id3v2.mp3"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(tag + fileBytes(fixture("one-second.mp3")));
            file.close();
            openFile(file.fileName());
        }
        const void *got = nullptr;
        QVERIFY(lib.ESGetInfo2(h, &got) & 0xff);
        QCOMPARE(QByteArray(static_cast<const char *>(got), NP_ID3V1_SIZE), record);
    }

    void exactLengths_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *f :
             {"sine-1k-cbr128-joint.mp3", "sine-1k-cbr128-info.mp3", "mono-cbr64.mp3",
              "mpeg2-22k.mp3", "vbr-xing.mp3", "vbr-noxing.mp3", "big-id3v2.mp3", "truncated.mp3"})
            QTest::newRow(f) << QString::fromLatin1(f);
    }
    void exactLengths()
    {
        QFETCH(QString, file);
        Pcm reference;
        QVERIFY(referenceDecode(fixture(file), reference));
        openFixture(file);
        QCOMPARE(lib.ESGetSize(h), int(reference.frames() * 1000 / reference.rate));
    }
};

QTEST_APPLESS_MAIN(tst_contract)
#include "tst_contract.moc"
