// The main window's life against the fake decoder: the order of the first show, the retry after
// a failed first show, the first start's defaults, the command line, hiding and shutting down.
#include <QFile>
#include <QtTest>

#include "application.h"
#include "formfixture.h"
#include "imagelistbox.h"
#include "trackbar.h"
#include "ui_playform.h"

namespace {

// Forwards to the fixture's store and writes every value read into the step log, together
// with the decoder calls made since the last step, so one log shows the order of everything.
class RecordingStore : public RegistryStore {
public:
    RecordingStore(RegistryStore &store, QStringList &log) : m_store(store), m_log(log) {}

    bool keyExists(RegistryRoot root, const QString &key) override
    {
        syncDecoderCalls(m_log);
        m_log << QStringLiteral("registry");
        return m_store.keyExists(root, key);
    }
    bool createKey(RegistryRoot root, const QString &key) override
    {
        return m_store.createKey(root, key);
    }
    std::optional<RegistryValue> readValue(RegistryRoot root, const QString &key,
                                           const QString &name) override
    {
        return m_store.readValue(root, key, name);
    }
    bool writeValue(RegistryRoot root, const QString &key, const QString &name,
                    const RegistryValue &value) override
    {
        return m_store.writeValue(root, key, name, value);
    }

    // Appends the decoder calls not yet in the log.
    static void syncDecoderCalls(QStringList &log)
    {
        static size_t seen = 0;
        const auto names = fakeScript().callNames();
        if (names.size() < seen)
            seen = 0;
        for (; seen < names.size(); ++seen)
            log << QString::fromStdString(names[seen]);
    }

private:
    RegistryStore &m_store;
    QStringList &m_log;
};

QString makeSong(const QString &folder, const QString &name)
{
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(1280, '\0'));
    return path;
}

void writeLastPlaylist(const QString &programFolder, const QStringList &paths)
{
    QFile file(programFolder + QStringLiteral("/loaded.lpl"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (const QString &path : paths)
        file.write(path.toLocal8Bit() + "\r\n");
}

} // namespace

class tst_startup : public QObject {
    Q_OBJECT

private slots:
    void firstShowRunsItsStepsInOrder()
    {
        FormFixture fixture;
        QStringList log;
        RecordingStore recording(*fixture.store, log);
        writeLastPlaylist(fixture.folder.path(), {makeSong(fixture.folder.path(), "b.mp3")});
        const QString song = makeSong(fixture.folder.path(), "a.mp3");
        fixture.form =
            std::make_unique<TestPlayForm>(recording, fixture.folder.path(), QStringList{song});
        fixture.player().SetPathToDLL(FakeDecoderPath);
        RecordingStore::syncDecoderCalls(log); // forget calls of earlier tests
        log.clear();
        fixture.form->FormCreate();
        RecordingStore::syncDecoderCalls(log);

        QCOMPARE(fixture.form->steps,
                 (QStringList{"ApplySettings", "ReadPlaylist", "CheckAssociation"}));
        QCOMPARE(fixture.form->Entries(),
                 (QStringList{"a," + song, "b," + fixture.folder.path() + "/b.mp3"}));
        // The window's settings, the library, the output's volume, then the Preferences
        // values (ApplySettings), and last the command line's song.
        const qsizetype library = log.indexOf("ESInitModule");
        const qsizetype volume = log.indexOf("ESGetVolume");
        QCOMPARE(log.indexOf("registry"), 0);
        QVERIFY(library > 0 && volume > library);
        QCOMPARE(log.mid(volume).indexOf("registry") > 0, true);
        QVERIFY(log.indexOf("registry", volume) < log.indexOf("ESOpen"));
        QCOMPARE(log.count("registry"), 7 + 9);
        QVERIFY(fixture.form->FirstShowDone());
        QVERIFY(fixture.form->isVisible());
    }

    void firstStartTakesTheDefaultsAndTheOutputVolume()
    {
        FormFixture fixture;
        fakeScript().volume = (50000u << 16) | 30000u; // right high word, left low word
        TestPlayForm &form = fixture.make();
        form.FormCreate();
        QCOMPARE(form.Top(), 20);
        QCOMPARE(form.Left(), 100);
        QVERIFY(form.ui->Forward1->isChecked());
        QVERIFY(!form.ui->Random1->isChecked());
        QVERIFY(!form.ui->SameSong1->isChecked());
        QCOMPARE(form.ui->Slider1->position(), 3);
        QCOMPARE(fixture.player().Priority(), 0); // the stored bar is not sent to the player
        QVERIFY(fakeScript().callsTo("ESSetPriority").empty());
        QCOMPARE(form.ui->Slider2->position(), 40000);
        QCOMPARE(fakeScript().callsTo("ESSetVolume").back(),
                 "ESSetVolume(7,9c409c40)"); // 40000 on both channels
        // The Preferences defaults, through the hidden dialog.
        QVERIFY(form.SortOnLoad());
        QVERIFY(form.DisplayRecordingInfo());
        QVERIFY(form.RememberLastLoaded());
        QVERIFY(!form.NumbersInPlaylist());
        QCOMPARE(form.PlayListFontSize(), 8);
        QCOMPARE(fixture.player().BufferSize(), 16384);
        QCOMPARE(fixture.player().BuffersCount(), 12);
        QCOMPARE(form.SkinFileName(), fixture.folder.filePath("blue/blue.sk"));
        QCOMPARE(form.ui->InfoLabel->text(), QStringLiteral("Click on Open to select MP3 files"));
        QVERIFY(form.ui->LMDSpeedButton1->isEnabled());
        QVERIFY(!form.ui->LMDSpeedButton2->isEnabled());
        QVERIFY(!form.ui->LMDSpeedButton3->isEnabled());
        QVERIFY(!form.ui->Slider->isEnabled());
        QVERIFY(!form.ui->Stop1->isEnabled());
        QVERIFY(!form.ui->Pause1->isEnabled());
    }

    void storedSettingsAreRestoredAndSavedAtTheEnd()
    {
        FormFixture fixture;
        fixture.storeSetting("Top", "33");
        fixture.storeSetting("Left", "44");
        fixture.storeSetting("Slider1Position", "6");
        fixture.storeSetting("Random", "1");
        fixture.storeSetting("Forward", "0");
        TestPlayForm &form = fixture.make();
        form.FormCreate();
        QCOMPARE(form.Top(), 33);
        QCOMPARE(form.Left(), 44);
        QCOMPARE(form.ui->Slider1->position(), 6);
        QVERIFY(form.ui->Random1->isChecked());
        QVERIFY(!form.ui->Forward1->isChecked());

        form.ui->Slider1->setPosition(0); // the user moves the priority bar
        QCOMPARE(fixture.player().Priority(), -15);
        form.SameSong1Click();
        form.move(70, 80);
        fixture.form.reset();
        QCOMPARE(fixture.storedSetting("Slider1Position"), "0");
        QCOMPARE(fixture.storedSetting("SameSong"), "1");
        QCOMPARE(fixture.storedSetting("Random"), "0");
        QCOMPARE(fixture.storedSetting("Top"), "80");
        QCOMPARE(fixture.storedSetting("Left"), "70");
    }

    void aFailedFirstShowIsRetriedAtTheNextShow()
    {
        FormFixture fixture;
        writeLastPlaylist(fixture.folder.path(), {makeSong(fixture.folder.path(), "b.mp3")});
        TestPlayForm &form = fixture.make();
        fixture.player().SetPathToDLL(fixture.folder.filePath("missing.so"));
        MessageBoxWatcher boxes;
        QSignalSpy windowUp(&form, &TPlayForm::windowUp);
        form.FormCreate();
        QCOMPARE(boxes.texts, QStringList{"Failed to load or initialize decoder module"});
        QVERIFY(form.isVisible()); // the window still appears, with its icon and media controls
        QCOMPARE(windowUp.size(), 1);
        QVERIFY(!form.FirstShowDone());
        QVERIFY(!form.steps.contains("ReadPlaylist"));

        fixture.player().SetPathToDLL(FakeDecoderPath);
        form.setVisible(false);
        form.Restore1Click();
        QVERIFY(form.FirstShowDone());
        QCOMPARE(form.steps.count("ReadPlaylist"), 1);
        QCOMPARE(form.ui->SongList->count(), 1);
        // Showing again repeats nothing.
        form.setVisible(false);
        form.Restore1Click();
        QCOMPARE(form.steps.count("ReadPlaylist"), 1);
        QCOMPARE(form.steps.count("CheckAssociation"), 1);
        QCOMPARE(windowUp.size(), 1);
        QCOMPARE(fakeScript().callsTo("ESInitModule").size(), size_t(1));
        QCOMPARE(boxes.texts.size(), 1);
    }

    // A stored skin that is gone fails the first show; the user adds a song, then the skin is
    // fixed in Preferences or comes back, and the first show is retried at the next show. The
    // remembered list is read exactly once, the rows stay in step with the entries, and the quit
    // keeps the remembered songs.
    void aFailedFirstShowNeitherLosesNorRepeatsTheLastPlaylist_data()
    {
        QTest::addColumn<bool>("inPreferences");
        QTest::newRow("skin chosen in Preferences") << true;
        QTest::newRow("skin folder back") << false;
    }
    void aFailedFirstShowNeitherLosesNorRepeatsTheLastPlaylist()
    {
        QFETCH(bool, inPreferences);
        FormFixture fixture;
        const QString folder = fixture.folder.path();
        const QString kept = makeSong(folder, "b.mp3");
        writeLastPlaylist(folder, {kept});
        fixture.storeSetting("SortOnLoad", "0");
        fixture.storeSetting("Skin", folder + "/other/blue/blue.sk");
        TestPlayForm &form = fixture.make();
        MessageBoxWatcher boxes;
        form.FormCreate();
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(!form.FirstShowDone());

        const QString added = makeSong(folder, "a.mp3");
        form.LMDFMDrop1FMDragDrop(nullptr, 1, 0, 0, {added});
        if (inPreferences) {
            form.inPreferences = [&] { fixture.storeSetting("Skin", folder + "/blue/blue.sk"); };
            form.Preferences1Click();
        } else {
            writeTestSkin(folder + "/other");
        }
        form.setVisible(false);
        form.Restore1Click();
        QVERIFY(form.FirstShowDone());
        QCOMPARE(form.steps.count("ReadPlaylist"), 1);
        QCOMPARE(form.Entries(), (QStringList{"a," + added, "b," + kept}));
        QCOMPARE(form.ui->SongList->items(), (QStringList{"a", "b"}));

        // The last row is the last entry.
        form.ui->SongList->setItemIndex(1);
        form.SongListDblClick();
        QCOMPARE(form.CurrentTitle(), "b");
        form.ui->SongList->setItemIndex(0);
        form.Remove1Click();
        QCOMPARE(form.Entries(), QStringList{"b," + kept});
        QCOMPARE(form.ui->SongList->items(), QStringList{"b"});
        QCOMPARE(boxes.texts.size(), 1);

        fixture.form.reset();
        QFile lastPlaylist(fixture.folder.filePath("loaded.lpl"));
        QVERIFY(lastPlaylist.open(QIODevice::ReadOnly));
        QCOMPARE(lastPlaylist.readAll(), kept.toLocal8Bit() + "\r\n");
    }

    // Buffer values reach the player only while it has no library: after a failed load.
    void buffersApplyOnlyWhileThePlayerHasNoLibrary()
    {
        FormFixture fixture;
        TestPlayForm &form = fixture.make();
        fixture.storeSetting("BufferSize", "32768");
        fixture.storeSetting("BufferCount", "31"); // outside 10..30: ignored
        form.FormCreate();
        QCOMPARE(fixture.player().BufferSize(), 16384); // the library was loaded first

        fixture.player().DeInitModule();
        form.Preferences1Click();
        QCOMPARE(fixture.player().BufferSize(), 32768);
        QCOMPARE(fixture.player().BuffersCount(), 12);

        fixture.storeSetting("BufferSize", "abc");
        fixture.storeSetting("NumbersInPlaylist", "1");
        MessageBoxWatcher boxes;
        form.Preferences1Click();
        QCOMPARE(boxes.texts, QStringList{"'abc' is not a valid integer value"});
        QVERIFY(!form.NumbersInPlaylist()); // the steps after the failure did not run
        QCOMPARE(form.steps.count("Preferences"), 2);
    }

    // The desktop's parts join once the window is up, and before the command line's song plays
    // (its notification and media-controls state would be missed otherwise); once, even when
    // the window is shown again.
    void windowUpComesAfterTheShowAndBeforeTheFirstSong()
    {
        FormFixture fixture;
        const QString song = makeSong(fixture.folder.path(), "Song.mp3");
        TestPlayForm &form = fixture.make({song});
        QStringList seen;
        connect(&form, &TPlayForm::windowUp, this, [&] {
            seen << QStringLiteral("up visible=%1 songs=%2 opened=%3")
                        .arg(form.isVisible())
                        .arg(form.ui->SongList->count())
                        .arg(fakeScript().callsTo("ESOpen").size());
        });
        form.FormCreate();
        QCOMPARE(seen, QStringList{"up visible=1 songs=0 opened=0"});
        QCOMPARE(form.steps.count("CheckAssociation"), 1);
        QCOMPARE(fakeScript().callsTo("ESOpen").size(), size_t(1));
        form.setVisible(false);
        form.Restore1Click();
        QCOMPARE(seen.size(), 1);
        QCOMPARE(form.steps.count("CheckAssociation"), 1);
    }

    void commandLinePathSplitIntoSeveralArguments()
    {
        FormFixture fixture;
        QDir(fixture.folder.path()).mkdir("My Music");
        const QString song = makeSong(fixture.folder.path(), "My Music/My Song.mp3");
        const QStringList pieces = song.split(QLatin1Char(' '));
        QCOMPARE(pieces.size(), 3);
        TestPlayForm &form = fixture.make(pieces);
        form.FormCreate();
        QCOMPARE(form.Entries(), QStringList{"My Song," + song});
        QCOMPARE(form.ui->SongList->itemIndex(), 0);
        QCOMPARE(fakeScript().callsTo("ESSetInputName").back(),
                 "ESSetInputName(7," + song.toStdString() + ")");
    }

    void commandLineFileJoinsTheLastPlaylistInSortedPlace()
    {
        FormFixture fixture;
        const QString folder = fixture.folder.path();
        QStringList kept;
        for (const char *name : {"b.mp3", "d.mp3", "f.mp3", "h.mp3", "j.mp3"})
            kept << makeSong(folder, name);
        writeLastPlaylist(folder, kept);
        const QString song = makeSong(folder, "E.mp3");
        TestPlayForm &form = fixture.make({song});
        form.FormCreate();
        QCOMPARE(form.ui->SongList->items(), (QStringList{"b", "d", "E", "f", "h", "j"}));
        QCOMPARE(form.ui->SongList->itemIndex(), 2);
        QCOMPARE(form.CurrentTitle(), "E");
    }

    void commandLinePlaysItsOwnFileNotAnEarlierRowOfASimilarName()
    {
        FormFixture fixture;
        const QString folder = fixture.folder.path();
        writeLastPlaylist(folder, {makeSong(folder, "My Song.mp3")});
        const QString song = makeSong(folder, "Song.mp3");
        TestPlayForm &form = fixture.make({song});
        form.FormCreate();
        QCOMPARE(form.ui->SongList->items(), (QStringList{"My Song", "Song"}));
        QCOMPARE(form.ui->SongList->itemIndex(), 1);
        QCOMPARE(form.CurrentTitle(), "Song");
    }

    void severalCommandLineFilesAreSeveralSongs()
    {
        FormFixture fixture;
        const QString folder = fixture.folder.path();
        const QStringList songs{makeSong(folder, "c.mp3"), makeSong(folder, "a.mp3")};
        TestPlayForm &form = fixture.make(songs);
        form.FormCreate();
        QCOMPARE(form.ui->SongList->items(), (QStringList{"a", "c"}));
        QCOMPARE(form.CurrentTitle(), "c");
    }

    // What a second copy hands over: added in order (sorted and numbered as set), the first
    // plays, the window comes back from the tray; a name a list cannot keep is reported alone.
    void filesHandedOverJoinTheListAndTheFirstPlays_data()
    {
        QTest::addColumn<QString>("sortOnLoad");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("playing");
        QTest::newRow("sorted") << "1" << QStringList{"1.- a", "2.- b", "3.- c", "4.- d", "5.- e"}
                                << 4;
        QTest::newRow("in order") << "0" << QStringList{"1.- b", "2.- d", "3.- e", "4.- a", "5.- c"}
                                  << 2;
    }
    void filesHandedOverJoinTheListAndTheFirstPlays()
    {
        QFETCH(QString, sortOnLoad);
        QFETCH(QStringList, rows);
        QFETCH(int, playing);
        FormFixture fixture;
        const QString folder = fixture.folder.path();
        fixture.storeSetting("SortOnLoad", sortOnLoad);
        fixture.storeSetting("NumbersInPlaylist", "1");
        writeLastPlaylist(folder, {makeSong(folder, "b.mp3"), makeSong(folder, "d.mp3")});
        TestPlayForm &form = fixture.make();
        form.FormCreate();
        form.hide(); // as in the tray

        MessageBoxWatcher boxes;
        form.AddFilesAndPlay({"/music/bad\nname.mp3", makeSong(folder, "e.mp3"),
                              makeSong(folder, "a.mp3"), makeSong(folder, "c.mp3")});
        QCOMPARE(form.ui->SongList->items(), rows);
        QCOMPARE(form.ui->SongList->itemIndex(), playing);
        QCOMPARE(fakeScript().callsTo("ESSetInputName").back(),
                 "ESSetInputName(7," + (folder + "/e.mp3").toStdString() + ")");
        QVERIFY(form.isVisible());
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(boxes.texts.first().contains("bad\\nname.mp3"));
    }

    void aRelativeCommandLinePathMeansTheStartFolder()
    {
        FormFixture fixture;
        const QString song = makeSong(fixture.folder.path(), "rel.mp3");
        const QString before = QDir::currentPath();
        QDir::setCurrent(fixture.folder.path());
        TestPlayForm &form = fixture.make({"rel.mp3"});
        QDir::setCurrent(before); // as a skin load would
        form.FormCreate();
        QCOMPARE(form.Entries(), QStringList{"rel," + song});
    }

    void shutDownWritesTheLastPlaylistOnlyWhenRemembered_data()
    {
        QTest::addColumn<QString>("remember");
        QTest::addColumn<bool>("written");
        QTest::newRow("remembered") << "1" << true;
        QTest::newRow("not remembered") << "0" << false;
    }
    void shutDownWritesTheLastPlaylistOnlyWhenRemembered()
    {
        QFETCH(QString, remember);
        QFETCH(bool, written);
        FormFixture fixture;
        fixture.storeSetting("RememberLastLoaded", remember);
        const QString song = makeSong(fixture.folder.path(), "x.mp3");
        TestPlayForm &form = fixture.make({song});
        form.FormCreate();
        fixture.form.reset();
        QFile lastPlaylist(fixture.folder.filePath("loaded.lpl"));
        QCOMPARE(lastPlaylist.exists(), written);
        if (written) {
            QVERIFY(lastPlaylist.open(QIODevice::ReadOnly));
            QCOMPARE(lastPlaylist.readAll(), song.toLocal8Bit() + "\r\n");
        }
    }

    void closingTheWindowReleasesTheLibrary()
    {
        FormFixture fixture;
        TestPlayForm &form = fixture.make();
        form.FormCreate();
        QVERIFY(fixture.player().Initialized());
        form.close();
        QVERIFY(!fixture.player().Initialized());
        QCOMPARE(fakeScript().callsTo("ESDeInitModule").size(), size_t(1));
    }

    // The quit of a session ending while the association prompt waits closes the window; the
    // command-line file is still kept in the list, but not played with the released library.
    void aQuitDuringTheAssociationPromptKeepsTheFileUnplayed()
    {
        FormFixture fixture;
        const QString song = makeSong(fixture.folder.path(), "Song.mp3");
        TestPlayForm &form = fixture.make({song});
        form.inAssociationCheck = [&form] { form.close(); };
        MessageBoxWatcher boxes;
        form.FormCreate();
        QVERIFY(!fixture.player().Initialized());
        QCOMPARE(form.Entries(), QStringList{"Song," + song});
        QCOMPARE(boxes.texts, QStringList());
        QVERIFY(fakeScript().callsTo("ESOpen").empty());
    }

    // A second copy may hand its files over before the first show has loaded the library.
    void filesHandedOverBeforeTheLibraryAreKeptUnplayed()
    {
        FormFixture fixture;
        const QString song = makeSong(fixture.folder.path(), "Early.mp3");
        TestPlayForm &form = fixture.make();
        MessageBoxWatcher boxes;
        form.AddFilesAndPlay({song});
        QCOMPARE(form.Entries(), QStringList{"Early," + song});
        QCOMPARE(boxes.texts, QStringList());
        QVERIFY(fakeScript().callsTo("ESOpen").empty());
    }

    void anErrorWhileHiddenInTheTrayLeavesTheProgramRunning()
    {
        FormFixture fixture;
        TestPlayForm &form = fixture.make();
        form.FormCreate();
        static_cast<TApplication *>(qApp)->SetMainForm(&form);
        form.hide();
        QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
        QWidget *owner = nullptr;
        QTimer::singleShot(10, [&owner] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                owner = box->parentWidget();
                box->done(QMessageBox::Ok);
            }
        });
        CommandScope::run([] { throw std::runtime_error("Output device failure"); });
        QCOMPARE(owner, &form);
        QTest::qWait(20);
        QCOMPARE(lastWindowClosed.count(), 0);
        static_cast<TApplication *>(qApp)->SetMainForm(nullptr);
    }
};

// The program's own application object, whose error box is under test.
int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    tst_startup test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startup.moc"
