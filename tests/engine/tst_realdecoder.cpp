// The player component on the real decoder library and the test sound server.
#include <QtTest>
#include <mutex>

#include "elsexception.h"
#include "filestreams.h"
#include "players.h"
#include "streamrecords.h"

namespace {

const QString SineFixture = QStringLiteral(NORL_FIXTURES_DIR "/sine-1k-cbr128-joint.mp3");

// PCM handed to the output events, which run on the library's thread.
struct PcmCollector {
    std::mutex mutex;
    QByteArray pcm;
    int inits = 0, dones = 0;

    void bind(TElPlayer &player)
    {
        player.SetOnOutputInit([this](QObject *, bool &ok) {
            std::lock_guard lock(mutex);
            ++inits;
            ok = true;
        });
        player.SetOnOutputDone([this](QObject *, bool &ok) {
            std::lock_guard lock(mutex);
            ++dones;
            ok = true;
        });
        player.SetOnOutput([this](QObject *, void *data, int, int, int, int size, bool &ok) {
            std::lock_guard lock(mutex);
            pcm.append(static_cast<const char *>(data), size);
            ok = true;
        });
    }
};

} // namespace

class tst_realdecoder : public QObject {
    Q_OBJECT

    TElPlayerMan *manager = nullptr;
    TElPlayer *player = nullptr;

    bool waitForMode(int mode, int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (player->PlayerMode() != mode && !deadline.hasExpired())
            QTest::qWait(10);
        return player->PlayerMode() == mode;
    }

private slots:
    void init()
    {
        manager = new TElPlayerMan;
        player = manager->Players()->Add();
        player->SetPathToDLL(QStringLiteral(NORL_LIBRARY_PATH));
        player->InitModule();
    }
    void cleanup() { delete manager; }

    void playsAFixture()
    {
        QVERIFY(player->Initialized());
        QCOMPARE(player->Version() / 100, 1);
        QVERIFY(player->Extensions().split(QLatin1Char(';')).contains(QStringLiteral("mp3")));
        player->SetInputName(SineFixture);
        player->Open();
        player->InitStream();
        QCOMPARE(player->Size(), 3030);
        player->Play();
        QCOMPARE(player->PlayerMode(), 4);
        QTest::qWait(600);
        int position = player->Position();
        QVERIFY2(position > 300 && position < 900, qPrintable(QString::number(position)));

        player->SetLeftVolume(30000);
        player->SetRightVolume(30000);
        QCOMPARE(player->LeftVolume(), uint16_t(30000));
        QCOMPARE(player->RightVolume(), uint16_t(30000));

        player->Pause();
        QVERIFY(player->Paused());
        QCOMPARE(player->PlayerMode(), 5);
        player->Resume();
        QCOMPARE(player->PlayerMode(), 4);
        player->Stop();
        QCOMPARE(player->PlayerMode(), 6);
        QCOMPARE(player->Position(), 0);
        player->InitStream();
        player->Play();
        QVERIFY(waitForMode(3, 6000));
        player->Close();
        QCOMPARE(player->PlayerMode(), 0);
    }

    void streamInformation()
    {
        player->SetInputName(SineFixture);
        player->Open();
        int32_t size = 0;
        QVERIFY(player->GetStreamInfo(nullptr, size));
        QByteArray info(size + 1, '\0');
        int32_t room = size + 1;
        QVERIFY(player->GetStreamInfo(info.data(), room));
        int layer = 0, bitrate = 0, frequency = 0;
        uint8_t mode = 0;
        DecodeStreamInfo(info.constData(), layer, bitrate, frequency, mode);
        QCOMPARE(layer, 3);
        QCOMPARE(bitrate, 128000);
        QCOMPARE(frequency, 44100);
        QCOMPARE(mode, uint8_t(1));

        QString title, artist, album, year, comment;
        uint8_t genre = 0;
        DecodeID3Info(player->GetID3Info(), title, artist, album, year, comment, genre);
        QCOMPARE(title, QStringLiteral("Thirty Character Title 1234567"));
        QCOMPARE(artist, QStringLiteral("Fixture Artist"));
        QCOMPARE(year, QStringLiteral("2024"));

        // Only an ID3v2 tag: the library makes the record from it.
        player->SetInputName(QStringLiteral(NORL_FIXTURES_DIR "/big-id3v2.mp3"));
        player->Open();
        DecodeID3Info(player->GetID3Info(), title, artist, album, year, comment, genre);
        QCOMPARE(title, QStringLiteral("Big Tag"));
        QCOMPARE(artist, QStringLiteral("Fixture Artist"));

        player->SetInputName(QStringLiteral(NORL_FIXTURES_DIR "/sine-1k-cbr128-info.mp3"));
        player->Open();
        QVERIFY_THROWS_EXCEPTION(TElSException, player->GetID3Info());
    }

    void equalizerAgreesWithTheLibrary()
    {
        QVERIFY(player->HasEqualizer());
        player->SetUseEqualizer(true);
        QVERIFY(player->UseEqualizer());
        player->SetEqualizerGain(-1, -120);
        player->SetEqualizerGain(9, 120);
        try {
            player->SetEqualizerGain(10, 0);
            QFAIL("no exception");
        } catch (const TElSException &e) {
            QCOMPARE(int(e.ErrorCode()), 2);
        }
    }

    void failuresRaise()
    {
        player->SetInputName(QStringLiteral(NORL_FIXTURES_DIR "/random-bytes.mp3"));
        try {
            player->Open();
            QFAIL("no exception");
        } catch (const TElSException &e) {
            QCOMPARE(int(e.ErrorCode()), 5);
            QCOMPARE(QString::fromLatin1(e.what()), QStringLiteral("Input stream failure"));
        }
        QVERIFY_THROWS_EXCEPTION(TElSException, player->SetPriority(7));
        QCOMPARE(player->Priority(), 0);
    }

    void fileStreamsServeTheSameSong()
    {
        FileStreams streams;
        PcmCollector fromFile, fromStreams;
        player->SetOutputMode(TElPlayer::omCallback);
        player->SetInputName(SineFixture);

        fromFile.bind(*player);
        player->Open();
        player->InitStream();
        player->Play();
        QVERIFY(waitForMode(3, 5000));
        player->Close();

        bindFileStreamEvents(*player, streams);
        fromStreams.bind(*player);
        player->SetInputMode(TElPlayer::imCallback);
        player->Open();
        QCOMPARE(streams.openCount(), 1);
        player->InitStream();
        player->Play();
        QVERIFY(waitForMode(3, 5000));
        player->Close();
        QCOMPARE(streams.openCount(), 0);

        QCOMPARE(fromFile.pcm.size(), 133632 * 4);
        QVERIFY(fromStreams.pcm == fromFile.pcm);
        QCOMPARE(fromStreams.inits, 1);
        QCOMPARE(fromStreams.dones, 1);
    }
};

QTEST_MAIN(tst_realdecoder)
#include "tst_realdecoder.moc"
