// The player component's rules, checked against the scripted fake decoder: binding, the calls
// each operation makes and in which order, strict and lenient checks, volumes, text queries,
// events, and the collection that owns the players.
#include <QtTest>
#include <dlfcn.h>
#include <thread>

#include "elsexception.h"
#include "fakescript.h"
#include "players.h"
#include "streamrecords.h"

namespace {

const QString FakePath = QStringLiteral(NORL_FAKE_DECODER_DIR "/libfakedecoder.so");

QStringList toQt(const std::vector<std::string> &strings)
{
    QStringList list;
    for (const auto &s : strings)
        list << QString::fromStdString(s);
    return list;
}

// Runs an operation that must raise; answers the code it raised, -1 when it did not.
template <class Action> int raisedCode(Action &&action)
{
    try {
        action();
    } catch (const TElSException &e) {
        return e.ErrorCode();
    }
    return -1;
}

} // namespace

class tst_player : public QObject {
    Q_OBJECT

    void *m_fake = nullptr; // kept loaded so the script outlives the player's unloads
    FakeScript *script = nullptr;
    TElPlayerMan *manager = nullptr;
    TElPlayer *player = nullptr;

    void initModule()
    {
        player->SetPathToDLL(FakePath);
        player->InitModule();
        script->calls.clear();
    }
    QStringList calls() const { return toQt(script->calls); }
    QStringList callNames() const { return toQt(script->callNames()); }

private slots:
    void initTestCase()
    {
        m_fake = dlopen(FakePath.toLocal8Bit().constData(), RTLD_NOW);
        QVERIFY2(m_fake, dlerror());
        auto get = reinterpret_cast<FakeDecoderScriptProc>(dlsym(m_fake, "FakeDecoderScript"));
        QVERIFY(get);
        script = get();
    }
    void cleanupTestCase() { dlclose(m_fake); }
    void init()
    {
        *script = FakeScript();
        manager = new TElPlayerMan;
        player = manager->Players()->Add();
    }
    void cleanup() { delete manager; }

    void newPlayer()
    {
        QCOMPARE(player->BuffersCount(), 8);
        QCOMPARE(player->BufferSize(), 16384);
        QCOMPARE(player->InputMode(), TElPlayer::imFile);
        QCOMPARE(player->OutputMode(), TElPlayer::omMMSystem);
        QVERIFY(player->InputName().isEmpty() && player->PathToDLL().isEmpty());
        QCOMPARE(player->StartPos() + player->EndPos() + player->Priority(), 0);
        QCOMPARE(player->OutputDevNum(), 0);
        QVERIFY(!player->Initialized() && !player->UseEqualizer() && !player->Paused());

        const QMetaObject *meta = player->metaObject();
        QStringList published, unstored;
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            published << QString::fromLatin1(meta->property(i).name());
            if (!meta->property(i).isStored())
                unstored << published.last();
        }
        QCOMPARE(published,
                 QStringList({"InputMode",    "InputName",    "OutputMode",     "OutputName",
                              "PathToDLL",    "ModuleName",   "About",          "Version",
                              "StartPos",     "EndPos",       "Priority",       "BuffersCount",
                              "BufferSize",   "Extensions",   "OutputDevNum",   "Initialized",
                              "UseEqualizer", "OnOutputInit", "OnOutputDone",   "OnOutput",
                              "OnInputOpen",  "OnInputClose", "OnInputGetSize", "OnInputSeek",
                              "OnInputRead"}));
        QCOMPARE(unstored, QStringList({"About", "Version", "Extensions", "Initialized"}));
    }

    void exceptionMessages()
    {
        const char *expected[] = {
            "No error",
            "Requested operation is not implemented in the decoder",
            "Incorrect decoder mode",
            "Internal decoder error",
            "Invalid object handle passed to decoder",
            "Input stream failure",
            "Output device failure",
            "Not enough memory to perform an operation",
            "Decoder failed to allocate resources",
            "One of callback functions needed to perform an operation not defined",
            "Failed to load or initialize decoder module",
            "Module not initialized"};
        for (int code = 0; code < 12; ++code) {
            TElSException e{uint8_t(code)};
            QCOMPARE(int(e.ErrorCode()), code);
            QCOMPARE(QString::fromLatin1(e.what()), QString::fromLatin1(expected[code]));
            QVERIFY(std::strlen(e.what()) <= 100);
        }
        QVERIFY(std::strlen(TElSException(200).what()) > 0);
    }

    void withoutAModule()
    {
        QCOMPARE(player->About(), QStringLiteral("(Module not initialized)"));
        QCOMPARE(player->ModuleName(), QStringLiteral("(Module not initialized)"));
        QCOMPARE(player->Version(), -1);
        QVERIFY(player->Extensions().isEmpty());
        int32_t size = 0;
        QVERIFY(!player->GetStreamInfo(nullptr, size));
        QCOMPARE(size, -1);
        QVERIFY(!player->GetID3Info());
        bool separate = false;
        for (auto op : std::initializer_list<std::function<void()>>{
                 [&] { player->Open(); }, [&] { player->InitStream(); }, [&] { player->Play(); },
                 [&] { player->Pause(); }, [&] { player->Resume(); }, [&] { player->Stop(); },
                 [&] { player->Close(); }, [&] { player->PlayerMode(); }, [&] { player->Size(); },
                 [&] { player->Position(); }, [&] { player->SetPosition(5); },
                 [&] { player->LeftVolume(); }, [&] { player->CanSetVolume(separate); },
                 [&] { player->HasEqualizer(); }})
            QCOMPARE(raisedCode(op), 11);
        try {
            player->Open();
        } catch (const TElSException &e) {
            QCOMPARE(QString::fromLatin1(e.what()), QStringLiteral("Module not initialized"));
        }
        // Setters only store; volume writes store too.
        player->SetPriority(2);
        player->SetBuffersCount(12);
        player->SetLeftVolume(1234);
        QCOMPARE(player->Priority(), 2);
        QVERIFY(script->calls.empty());
    }

    void bindingStopsAtAMissingName_data()
    {
        QTest::addColumn<QString>("missing");
        const QStringList names = {"ESInitModule",
                                   "ESDeInitModule",
                                   "ESOpen",
                                   "ESClose",
                                   "ESPlay",
                                   "ESCanPause",
                                   "ESPause",
                                   "ESResume",
                                   "ESStop",
                                   "ESCanSetPos",
                                   "ESGetPos",
                                   "ESSetPos",
                                   "ESGetAbout",
                                   "ESGetName",
                                   "ESGetSize",
                                   "ESSetInputMode",
                                   "ESSetOutputMode",
                                   "ESSetInputName",
                                   "ESSetOutputName",
                                   "ESSetOutputDev",
                                   "ESGetPlayerMode",
                                   "ESLastError",
                                   "ESGetVersion",
                                   "ESSetBuffers",
                                   "ESSetPriority",
                                   "ESSetLimits",
                                   "ESSetOutCB",
                                   "ESGetVolume",
                                   "ESSetVolume",
                                   "ESCanSetVolume",
                                   "ESGetExts",
                                   "ESGetInfo1",
                                   "ESGetInfo2",
                                   "ESInitStream",
                                   "ESSetDevNum",
                                   "ESSetInCB",
                                   "ESSetWindow",
                                   "ESUseOutCB",
                                   "ESUseEQ",
                                   "ESHasEQ",
                                   "ESEQ"};
        QCOMPARE(names.size(), 41);
        for (const QString &name : names)
            QTest::newRow(qPrintable(name)) << name;
    }
    void bindingStopsAtAMissingName()
    {
        QFETCH(QString, missing);
        player->SetPathToDLL(
            QStringLiteral(NORL_FAKE_DECODER_DIR "/without/lib%1.so").arg(missing));
        QCOMPARE(raisedCode([&] { player->InitModule(); }), 10);
        QVERIFY(!player->Initialized());
        QCOMPARE(player->Version(), -1);
        player->DeInitModule(); // releases the library that stayed loaded
    }

    void libraryThatCannotLoad()
    {
        player->SetPathToDLL(QStringLiteral("/nonexistent/libnorlplay.so"));
        QCOMPARE(raisedCode([&] { player->InitModule(); }), 10);
        player->SetPathToDLL(QStringLiteral(NORL_FIXTURES_DIR "/random-bytes.mp3"));
        QCOMPARE(raisedCode([&] { player->InitModule(); }), 10);
        QVERIFY(!player->Initialized());
    }

    void bareNameIsLookedUpBesideTheProgram()
    {
        const QString beside = QCoreApplication::applicationDirPath() + "/libnorl-beside-test.so";
        QFile::remove(beside);
        QVERIFY(QFile::copy(FakePath, beside));
        player->SetPathToDLL(QStringLiteral("libnorl-beside-test.so"));
        player->InitModule();
        QVERIFY(player->Initialized());
        player->DeInitModule();
        QFile::remove(beside);
    }

    void moduleLife()
    {
        script->handle = 0;
        player->SetPathToDLL(FakePath);
        QCOMPARE(raisedCode([&] { player->InitModule(); }), 11);
        QCOMPARE(calls(), QStringList({"ESInitModule()"}));
        QVERIFY(!player->Initialized());

        script->handle = 7;
        script->calls.clear();
        player->SetInitialized(true);
        QCOMPARE(calls(), QStringList({"ESInitModule()", "ESSetOutCB(7)", "ESSetInCB(7)"}));
        QCOMPARE(script->outputContext, static_cast<void *>(player));
        QCOMPARE(script->inputContext, static_cast<void *>(player));
        QVERIFY(player->Initialized());
        QCOMPARE(player->Version(), NP_VERSION);

        script->calls.clear();
        player->SetInitialized(true); // already: nothing
        QVERIFY(script->calls.empty());
        player->SetInitialized(false);
        QCOMPARE(calls(), QStringList({"ESDeInitModule(7)"}));
        QVERIFY(!player->Initialized());
        QCOMPARE(raisedCode([&] { player->Open(); }), 11);
    }

    void destroyingReleasesTheModule()
    {
        initModule();
        delete manager;
        manager = new TElPlayerMan; // for cleanup()
        QCOMPARE(calls(), QStringList({"ESDeInitModule(7)"}));
    }

    void callsForOneSong_data()
    {
        QTest::addColumn<bool>("outputEvents");
        QTest::newRow("output events assigned") << true;
        QTest::newRow("not assigned") << false;
    }
    void callsForOneSong()
    {
        QFETCH(bool, outputEvents);
        // As the main window's form sets its player up, before the module exists.
        player->SetInputMode(TElPlayer::imFile);
        player->SetOutputMode(TElPlayer::omMMSystem);
        player->SetBuffersCount(12);
        player->SetBufferSize(16384);
        player->SetUseEqualizer(false);
        player->SetPriority(1);
        player->SetStartPos(0);
        player->SetEndPos(0);
        if (outputEvents) {
            player->SetOnOutputInit([](QObject *, bool &s) { s = true; });
            player->SetOnOutputDone([](QObject *, bool &s) { s = true; });
            player->SetOnOutput([](QObject *, void *, int, int, int, int, bool &s) { s = true; });
        }
        initModule();
        script->volume = 0x20001000;

        player->SetInputName(QStringLiteral("song.mp3"));
        player->Open();
        player->InitStream();
        player->Size();
        player->Play();
        QCOMPARE(
            callNames(),
            QStringList({"ESSetInputName", "ESSetInputMode", "ESSetInputName", "ESSetOutputMode",
                         "ESSetOutputName", "ESSetPriority", "ESOpen", "ESSetDevNum",
                         "ESInitStream", "ESGetSize", "ESSetLimits", "ESSetLimits", "ESSetWindow",
                         "ESUseOutCB", "ESPlay", "ESCanSetVolume", "ESGetVolume", "ESSetVolume"}));
        QCOMPARE(toQt(script->callsTo("ESSetInputName")).last(),
                 QStringLiteral("ESSetInputName(7,song.mp3)"));
        QCOMPARE(toQt(script->callsTo("ESSetPriority")), QStringList({"ESSetPriority(7,1)"}));
        QCOMPARE(toQt(script->callsTo("ESSetLimits")).first(),
                 QStringLiteral("ESSetLimits(7,0,0)"));
        QCOMPARE(toQt(script->callsTo("ESSetWindow")), QStringList({"ESSetWindow(7,window)"}));
        QCOMPARE(toQt(script->callsTo("ESUseOutCB")),
                 QStringList({outputEvents ? "ESUseOutCB(7,1)" : "ESUseOutCB(7,0)"}));
        // The volume read back (left low, right high) goes out packed left high, right low.
        QCOMPARE(toQt(script->callsTo("ESSetVolume")), QStringList({"ESSetVolume(7,10002000)"}));
        QCOMPARE(player->RightVolume(), uint16_t(0x2000));

        // Stopping, then the next song.
        script->calls.clear();
        player->Stop();
        player->InitStream();
        player->Close();
        QCOMPARE(callNames(), QStringList({"ESStop", "ESSetDevNum", "ESInitStream", "ESClose"}));
    }

    void settingsWrittenBeforeTheModule()
    {
        player->SetBuffersCount(3);
        player->SetBufferSize(4096);
        player->SetUseEqualizer(true);
        player->SetOutputDevNum(2);
        player->SetStartPos(100);
        player->SetEndPos(900);
        initModule();
        player->Open();
        player->InitStream();
        player->Play();
        QVERIFY(script->callsTo("ESSetBuffers").empty());
        QVERIFY(script->callsTo("ESUseEQ").empty());
        QCOMPARE(toQt(script->callsTo("ESSetDevNum")), QStringList({"ESSetDevNum(7,2)"}));
        QCOMPARE(toQt(script->callsTo("ESSetLimits")),
                 QStringList({"ESSetLimits(7,100,900)", "ESSetLimits(7,100,900)"}));

        // With a module each setter goes to the library at once.
        script->calls.clear();
        player->SetBuffersCount(12);
        player->SetBufferSize(8192);
        QCOMPARE(calls(), QStringList({"ESSetBuffers(7,12,4096)", "ESSetBuffers(7,12,8192)"}));
        script->calls.clear();
        player->SetUseEqualizer(true); // the library has none: only asked
        QCOMPARE(callNames(), QStringList({"ESHasEQ"}));
        script->hasEQ = 1;
        script->calls.clear();
        player->SetUseEqualizer(false);
        QCOMPARE(calls(), QStringList({"ESHasEQ(7)", "ESUseEQ(7,0)"}));
    }

    void lenientChecks()
    {
        initModule();
        script->results["ESOpen"] = 0;
        script->lastError = 0;
        player->Open(); // a False with no error code passes
        script->lastError = 5;
        QCOMPARE(raisedCode([&] { player->Open(); }), 5);

        script->results["ESGetPos"] = -1;
        script->results["ESGetSize"] = -1;
        script->lastError = 0;
        QCOMPARE(player->Position(), -1);
        QCOMPARE(player->Size(), -1);
        script->lastError = 2;
        QCOMPARE(raisedCode([&] { player->Position(); }), 2);
        QCOMPARE(raisedCode([&] { player->Size(); }), 2);
        script->lastError = 0x105; // only the low byte counts
        QCOMPARE(raisedCode([&] { player->Size(); }), 5);

        // Play stops at a refused ESPlay without touching the volume.
        script->results["ESPlay"] = 0;
        script->lastError = 0;
        script->calls.clear();
        player->Play();
        QCOMPARE(callNames().last(), QStringLiteral("ESLastError"));
        QVERIFY(script->callsTo("ESCanSetVolume").empty());
    }

    void pausedFlag()
    {
        initModule();
        player->Pause();
        QVERIFY(player->Paused());
        script->results["ESResume"] = 0;
        player->Resume(); // failed without an error code: nothing changes
        QVERIFY(player->Paused());
        script->results.erase("ESResume");
        player->Resume();
        QVERIFY(!player->Paused());
        player->Pause();
        player->Stop();
        QVERIFY(!player->Paused());
        player->Pause();
        player->Close();
        QVERIFY(!player->Paused());
        player->Open();
        player->Play();
        QVERIFY(!player->Paused());
    }

    void equalizerGainsGoStraightToTheLibrary()
    {
        QCOMPARE(raisedCode([&] { player->SetEqualizerGain(5, 60); }), 11);
        initModule();
        script->calls.clear();
        player->SetEqualizerGain(5, 60); // the library has none: only asked
        QCOMPARE(calls(), QStringList({"ESHasEQ(7)"}));
        script->hasEQ = 1;
        script->calls.clear();
        player->SetEqualizerGain(-1, -30);
        QCOMPARE(calls(), QStringList({"ESHasEQ(7)", "ESEQ(7,-1,-30)"}));
        script->results["ESEQ"] = 0;
        script->lastError = 2;
        QCOMPARE(raisedCode([&] { player->SetEqualizerGain(10, 0); }), 2);
    }

    void strictChecksKeepTheOldValue()
    {
        initModule();
        player->SetPriority(2);
        script->results["ESSetPriority"] = 0;
        script->lastError = 0;
        try {
            player->SetPriority(5);
            QFAIL("no exception");
        } catch (const TElSException &e) {
            QCOMPARE(QString::fromLatin1(e.what()), QStringLiteral("No error"));
        }
        QCOMPARE(player->Priority(), 2);

        // Open goes on past a refused priority.
        script->lastError = 2;
        script->calls.clear();
        player->Open();
        QCOMPARE(callNames().last(), QStringLiteral("ESOpen"));

        script->results["ESSetInputName"] = 0;
        QCOMPARE(raisedCode([&] { player->SetInputName(QStringLiteral("other.mp3")); }), 2);
        QVERIFY(player->InputName().isEmpty());
        QCOMPARE(raisedCode([&] { player->Open(); }), 2);

        script->results["ESGetInfo2"] = 0;
        script->lastError = 0;
        QCOMPARE(raisedCode([&] { player->GetID3Info(); }), 0);
    }

    void volumeReads()
    {
        initModule();
        script->volume = 0x00ff1234; // left low, right high
        QCOMPARE(player->LeftVolume(), uint16_t(0x1234));
        QCOMPARE(player->RightVolume(), uint16_t(0x00ff));

        script->results["ESGetVolume"] = 0;
        script->lastError = 6;
        QCOMPARE(raisedCode([&] { player->LeftVolume(); }), 6);
        player->SetOutputMode(TElPlayer::omDirectSound);
        script->calls.clear();
        QCOMPARE(player->LeftVolume(), uint16_t(0));
        QCOMPARE(player->RightVolume(), uint16_t(0));
        QVERIFY(script->callsTo("ESLastError").empty());
        // The fields keep what was read before.
        script->results.erase("ESGetVolume");
        script->volume = 0;
        script->results["ESCanSetVolume"] = 1;
        script->separate = 1;
        script->calls.clear();
        player->SetLeftVolume(0x1234);
        QVERIFY(script->calls.empty());
    }

    void volumeWrites()
    {
        initModule();
        script->separate = 0;
        player->SetLeftVolume(100);
        QCOMPARE(calls(), QStringList({"ESCanSetVolume(7)", "ESSetVolume(7,640064)"}));
        script->calls.clear();
        player->SetRightVolume(100); // already both channels
        QVERIFY(script->calls.empty());

        script->separate = 1;
        player->SetRightVolume(7);
        QCOMPARE(toQt(script->callsTo("ESSetVolume")), QStringList({"ESSetVolume(7,640007)"}));

        script->results["ESSetVolume"] = 0;
        script->lastError = 6;
        QCOMPARE(raisedCode([&] { player->SetLeftVolume(5); }), 6);
        QCOMPARE(raisedCode([&] { player->LeftVolume(); }), -1);
        script->results["ESCanSetVolume"] = 0;
        script->lastError = 0;
        QCOMPARE(raisedCode([&] { player->SetLeftVolume(9); }), 0);
    }

    void textQueries()
    {
        initModule();
        QCOMPARE(player->ModuleName(), QStringLiteral("Fake decoder"));
        QCOMPARE(calls(), QStringList({"ESGetName(nil,0)", "ESGetName(buffer,13)"}));
        QCOMPARE(player->About(), QStringLiteral("Fake decoder for tests"));
        QCOMPARE(player->Extensions(), QStringLiteral("mp3"));
        script->results["ESGetName"] = 0;
        script->results["ESGetAbout"] = 0;
        script->results["ESGetExts"] = 0;
        QCOMPARE(player->ModuleName(), QStringLiteral("Unknown module"));
        QCOMPARE(player->About(), QStringLiteral("Unknown module ... "));
        QVERIFY(player->Extensions().isEmpty());
        QVERIFY(script->callsTo("ESLastError").empty());
        player->SetModuleName(QStringLiteral("ignored"));
        QCOMPARE(player->ModuleName(), QStringLiteral("Unknown module"));
    }

    void streamInfoPassesThrough()
    {
        initModule();
        script->info = {1, 0, 0, 0, 3, 0, 0, 0, 0, 0xf4, 1, 0, 0x44, 0xac, 0, 0};
        int32_t size = 0;
        QVERIFY(player->GetStreamInfo(nullptr, size));
        QCOMPARE(size, 16);
        QByteArray buffer(size + 1, '\0');
        int32_t room = size + 1;
        QVERIFY(player->GetStreamInfo(buffer.data(), room));
        int layer = 0, bitrate = 0, frequency = 0;
        uint8_t mode = 9;
        DecodeStreamInfo(buffer.constData(), layer, bitrate, frequency, mode);
        QCOMPARE(layer, 3);
        QCOMPARE(bitrate, 128000);
        QCOMPARE(frequency, 44100);
        QCOMPARE(mode, uint8_t(1));
        script->results["ESGetInfo1"] = 0;
        QVERIFY(!player->GetStreamInfo(buffer.data(), room));
        QVERIFY(script->callsTo("ESLastError").empty());
    }

    void id3Fields()
    {
        std::array<uint8_t, 128> tag{};
        auto put = [&](int at, const QByteArray &text) {
            std::copy(text.begin(), text.end(), tag.begin() + at);
        };
        put(0, "TAG");
        put(3, "Thirty Character Title 1234567"); // fills the field: no NUL
        put(33, "\x01  The Artist \t");
        put(63, "Caf\xe9"); // Latin-1, as ID3v1 tags mostly are
        put(93, "2024");
        put(97, "Caf\xc3\xa9"); // UTF-8, as a record made from ID3v2 is
        tag[127] = 17;
        QString title, artist, album, year, comment;
        uint8_t genre = 0;
        DecodeID3Info(tag.data(), title, artist, album, year, comment, genre);
        QCOMPARE(title, QStringLiteral("Thirty Character Title 1234567"));
        QCOMPARE(artist, QStringLiteral("The Artist"));
        QCOMPARE(album, u"Caf\u00e9"_qs);
        QCOMPARE(year, QStringLiteral("2024"));
        QCOMPARE(comment, u"Caf\u00e9"_qs);
        QCOMPARE(genre, uint8_t(17));
    }

    void callbacksFireEvents()
    {
        initModule();
        QObject *sender = nullptr;
        player->SetOnInputOpen([&](QObject *s, int32_t &userData, bool &canSetPos, bool &ok) {
            sender = s;
            userData = 42;
            canSetPos = true;
            ok = true;
        });
        player->SetOnInputRead(
            [](QObject *, int32_t userData, void *, int32_t want, int32_t &got, bool &ok) {
                got = want / 2;
                ok = userData == 42;
            });
        player->SetOnOutputInit([](QObject *, bool &) { throw std::runtime_error("handler"); });
        // As the library calls them: from its own thread.
        int32_t userData = 0, got = 0, size = 0;
        NpFlag canSetPos = 0;
        NpBool opened = 0, read = 0, sized = 1, sought = 1, closed = 1, init = 1, output = 1;
        std::thread library([&] {
            void *in = script->inputContext;
            void *out = script->outputContext;
            opened = script->open(in, &userData, &canSetPos);
            char buffer[10];
            read = script->read(in, userData, buffer, 10, &got);
            sized = script->getSize(in, userData, &size);
            sought = script->seek(in, userData, 0, 0);
            closed = script->close(in, userData);
            init = script->action(1, out);
            output = script->output(buffer, 16, 2, 44100, 4, out);
        });
        library.join();
        QCOMPARE(sender, static_cast<QObject *>(player));
        QVERIFY(opened && read);
        QCOMPARE(userData, 42);
        QCOMPARE(canSetPos, NpFlag(1));
        QCOMPARE(got, 5);
        // Unassigned events, and a handler that throws, answer False.
        QVERIFY(!sized && !sought && !closed && !init && !output);
    }

    void playersCollection()
    {
        TElPlayers *players = manager->Players();
        QCOMPARE(players->Owner(), manager);
        QCOMPARE(players->Count(), 1);
        QCOMPARE(players->GetItems(0), player);
        QCOMPARE(player->Collection(), players);

        TElPlayerMan other;
        TElPlayer *source = other.Players()->Add();
        source->SetPathToDLL(QStringLiteral("libother.so"));
        source->SetBufferSize(4096);
        source->SetOutputMode(TElPlayer::omFile);
        other.Players()->Add()->SetPriority(2);

        players->SetItems(0, source); // assigns into the item
        QCOMPARE(players->GetItems(0), player);
        QCOMPARE(player->PathToDLL(), QStringLiteral("libother.so"));
        QCOMPARE(player->BufferSize(), 4096);

        manager->SetPlayers(other.Players()); // copies, keeps its own collection
        QCOMPARE(manager->Players(), players);
        QCOMPARE(players->Count(), 2);
        QCOMPARE(players->GetItems(1)->Priority(), 2);
        QCOMPARE(players->GetItems(0)->OutputMode(), TElPlayer::omFile);
        QVERIFY(players->GetItems(0) != source);
        manager->SetPlayers(players); // itself: nothing
        QCOMPARE(players->Count(), 2);
        player = players->GetItems(0);
    }
};

QTEST_MAIN(tst_player)
#include "tst_player.moc"
