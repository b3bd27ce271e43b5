// The equalizer without its window: the gains' texts, the presets, what the store keeps (and
// what it gives back when damaged), and what reaches the decoder library, at start-up and after.
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

#include "equalizercontrol.h"
#include "equalizerform.h"
#include "equalizerpresets.h"
#include "equalizerstore.h"
#include "formfixture.h"
#include "registrystore.h"
#include "ui_playform.h"

using namespace Equalizer;

Q_DECLARE_METATYPE(Curve)

namespace Equalizer {
char *toString(const Curve &curve)
{
    return qstrdup(qPrintable(curveText(curve)));
}
} // namespace Equalizer

namespace {

const QString Key = QStringLiteral("SOFTWARE\\Vellacort\\Vorov3");

Curve curveOf(int preamp, std::initializer_list<int> bands)
{
    Curve curve;
    curve.preamp = preamp;
    std::copy(bands.begin(), bands.end(), curve.bands.begin());
    return curve;
}

QStringList equalizerCalls()
{
    QStringList calls;
    for (const auto &call : fakeScript().calls)
        if (call.rfind("ESEQ", 0) == 0 || call.rfind("ESUseEQ", 0) == 0)
            calls << QString::fromStdString(call);
    return calls;
}

} // namespace

class tst_equalizer : public QObject {
    Q_OBJECT

    std::unique_ptr<FormFixture> m_fixture;
    RegistryStore &store() const { return *m_fixture->store; }
    void storeText(const QString &name, const QString &text)
    {
        store().createKey(RegistryRoot::LocalMachine, Key);
        store().writeValue(RegistryRoot::LocalMachine, Key, name,
                           {RegistryValueType::String, text});
    }

private slots:
    void init() { m_fixture = std::make_unique<FormFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void gainTexts()
    {
        QCOMPARE(gainText(0), "0 dB");
        QCOMPARE(gainText(120), "+12 dB");
        QCOMPARE(gainText(-5), "-0.5 dB");
        QCOMPARE(gainText(35), "+3.5 dB");
    }

    void curveTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Curve>("curve");
        QTest::newRow("empty is flat") << "" << Curve();
        QTest::newRow("garbage is flat") << "\x01zz,\n;;" << Curve();
        QTest::newRow("short list") << "-30,60" << curveOf(-30, {60});
        QTest::newRow("clamped, blanks, extra numbers")
            << " 500 ,-999,1,2,3,4,5,6,7,8,x,77,88"
            << curveOf(120, {-120, 1, 2, 3, 4, 5, 6, 7, 8, 0});
        QTest::newRow("too large for an int") << "99999999999999" << Curve();
    }
    void curveTexts()
    {
        QFETCH(QString, text);
        QFETCH(Curve, curve);
        QCOMPARE(curveFromText(text), curve);
        QCOMPARE(curveFromText(curveText(curve)), curve);
    }

    void builtInPresetsAreInRangeAndDistinct()
    {
        const QStringList expected{"Flat",  "Rock", "Pop",    "Classical", "Jazz",
                                   "Dance", "Bass", "Treble", "Vocal",     "Loudness"};
        QStringList names;
        QList<Curve> curves;
        for (const Preset &preset : builtInPresets()) {
            names << preset.name;
            QVERIFY2(!curves.contains(preset.curve), qPrintable(preset.name));
            curves << preset.curve;
            QCOMPARE(clampedCurve(preset.curve), preset.curve);
            // The preamp leaves room for the largest boost, within a few dB.
            const int top = *std::max_element(preset.curve.bands.begin(), preset.curve.bands.end());
            QVERIFY2(top + preset.curve.preamp <= 40, qPrintable(preset.name));
        }
        QCOMPARE(names, expected);
        QCOMPARE(builtInPresets().first().curve, Curve());
    }

    void userPresetNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept"); // empty: refused
        QTest::newRow("plain") << "Late night"
                               << "Late night";
        QTest::newRow("blanks simplified") << "  Late \t night "
                                           << "Late night";
        QTest::newRow("control characters dropped") << "Car\x01\x1b[2J radio"
                                                    << "Car[2J radio";
        QTest::newRow("line breaks become blanks") << "two\nlines\r"
                                                   << "two lines";
        QTest::newRow("commas kept") << "a,b,c"
                                     << "a,b,c";
        QTest::newRow("cut to length") << QString(60, 'x') << QString(40, 'x');
        QTest::newRow("beyond the basic plane kept, never cut in half")
            << QString(39, 'x') + QString::fromUtf8("\U0001F389\U0001F389")
            << QString(39, 'x') + QString::fromUtf8("\U0001F389");
        QTest::newRow("blank") << " \t "
                               << "";
        QTest::newRow("built-in name") << "rock"
                                       << "";
        QTest::newRow("built-in after cleaning") << " Bass\x7f"
                                                 << "";
    }
    void userPresetNames()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        UserPresets presets;
        QCOMPARE(presets.save(typed, curveOf(-10, {10})), !kept.isEmpty());
        QCOMPARE(presets.names(), kept.isEmpty() ? QStringList() : QStringList{kept});
        // What is kept survives the store's text.
        QCOMPARE(UserPresets::fromText(presets.text()).names(), presets.names());
    }

    void userPresetsReplaceDeleteAndBound()
    {
        UserPresets presets;
        QVERIFY(presets.save("Mine", curveOf(0, {10})));
        QVERIFY(presets.save("Other", curveOf(0, {20})));
        QVERIFY(presets.save("MINE", curveOf(500, {30}))); // replaces, clamped
        QCOMPARE(presets.names(), (QStringList{"MINE", "Other"}));
        QCOMPARE(presets.find("mine"), std::optional(curveOf(120, {30})));
        QCOMPARE(findPreset(presets, "other"), std::optional(curveOf(0, {20})));
        QCOMPARE(findPreset(presets, "jazz"), std::optional(builtInPresets()[4].curve));
        QVERIFY(!presets.remove("Jazz"));
        QVERIFY(presets.remove("other"));
        QVERIFY(!presets.remove("other"));
        QCOMPARE(presets.names(), QStringList{"MINE"});

        for (int i = 0; i < UserPresets::MaxCount + 5; ++i)
            presets.save(QString::number(i), Curve());
        QCOMPARE(presets.presets().size(), UserPresets::MaxCount);
        QVERIFY(presets.save("MINE", Curve())); // a full list still takes a replacement
    }

    void damagedStoredPresetsKeepWhatIsUsable()
    {
        const QString text = "-10,1,2,3,4,5,6,7,8,9,10,Good, with comma\n"
                             "garbage line\n"
                             "1,2,3,Short\n"
                             "0,0,0,0,0,0,0,0,0,0,0,Flat\n"
                             "0,0,0,0,0,0,0,0,0,0,0,\n"
                             "x,x,x,x,x,x,x,x,x,x,x,Zeros\n"
                             "5,5,5,5,5,5,5,5,5,5,5,good, WITH comma";
        const UserPresets presets = UserPresets::fromText(text);
        QCOMPARE(presets.names(), (QStringList{"good, WITH comma", "Zeros"}));
        QCOMPARE(presets.find("Good, with comma"),
                 std::optional(curveOf(5, {5, 5, 5, 5, 5, 5, 5, 5, 5, 5})));
        QCOMPARE(presets.find("zeros"), std::optional(Curve()));
    }

    void settingsRoundTripAndDamagedValues()
    {
        QCOMPARE(readSettings(store(), Key), Settings()); // never stored: off and flat
        QVERIFY(readPresets(store(), Key).presets().isEmpty());

        const Settings settings{true, curveOf(-40, {120, -120, 5, 0, 0, 0, 0, 0, 0, 1})};
        QVERIFY(writeSettings(store(), Key, settings));
        UserPresets presets;
        presets.save("Mine", curveOf(1, {2}));
        QVERIFY(writePresets(store(), Key, presets));
        QCOMPARE(readSettings(store(), Key), settings);
        QCOMPARE(readPresets(store(), Key).find("Mine"), std::optional(curveOf(1, {2})));

        storeText("EqualizerOn", "maybe");
        storeText("Equalizer", "9999,-9999,,x");
        QCOMPARE(readSettings(store(), Key), (Settings{false, curveOf(120, {-120})}));
        storeText("EqualizerOn", " true ");
        QVERIFY(readSettings(store(), Key).on);
    }

    // With a library that has an equalizer, the stored settings go out as soon as the library is
    // loaded, and every change as it is made; the settings are stored once the bar rests.
    void controlSendsToThePlayerAndStores()
    {
        writeSettings(store(), Key, {true, curveOf(-20, {0, 0, 0, 0, 0, 30})});
        fakeScript().hasEQ = 1;
        TestPlayForm &form = m_fixture->make();
        EqualizerControl control(store(), Key);
        TElPlayer &player = m_fixture->player();
        control.setPlayer(&player); // not loaded: nothing to send to
        QVERIFY(!control.available());
        player.InitModule();
        control.setPlayer(&player);
        QVERIFY(control.available());
        QCOMPARE(equalizerCalls(),
                 (QStringList{"ESEQ(7,-1,-20)", "ESEQ(7,0,0)", "ESEQ(7,1,0)", "ESEQ(7,2,0)",
                              "ESEQ(7,3,0)", "ESEQ(7,4,0)", "ESEQ(7,5,30)", "ESEQ(7,6,0)",
                              "ESEQ(7,7,0)", "ESEQ(7,8,0)", "ESEQ(7,9,0)", "ESUseEQ(7,1)"}));

        fakeScript().calls.clear();
        QSignalSpy changes(&control, &EqualizerControl::settingsChanged);
        control.setBand(5, -200);
        control.setBand(5, -120); // the same after clamping: nothing more
        control.setBand(10, 50);
        control.setPreamp(15);
        control.setOn(false);
        QCOMPARE(equalizerCalls(),
                 (QStringList{"ESEQ(7,5,-120)", "ESEQ(7,-1,15)", "ESUseEQ(7,0)"}));
        QCOMPARE(changes.size(), 3);
        QCOMPARE(readSettings(store(), Key).curve.bands[5], 30); // not yet
        QTRY_COMPARE(readSettings(store(), Key),
                     (Settings{false, curveOf(15, {0, 0, 0, 0, 0, -120})}));

        QVERIFY(control.choosePreset("Bass"));
        QCOMPARE(control.settings().curve, builtInPresets()[6].curve);
        QVERIFY(!control.choosePreset("No such"));
        QVERIFY(control.savePreset("Mine"));
        QVERIFY(!control.savePreset("Flat"));
        QCOMPARE(readPresets(store(), Key).find("mine"), std::optional(builtInPresets()[6].curve));
        QVERIFY(control.deletePreset("MINE"));
        QVERIFY(readPresets(store(), Key).presets().isEmpty());
        Q_UNUSED(form);
    }

    // At the first show the stored equalizer reaches the library before the first song opens;
    // a library without one is sent nothing and the menu item is disabled.
    void startUpSendsBeforeTheFirstSong_data()
    {
        QTest::addColumn<int>("hasEQ");
        QTest::newRow("library with an equalizer") << 1;
        QTest::newRow("library without") << 0;
    }
    void startUpSendsBeforeTheFirstSong()
    {
        QFETCH(int, hasEQ);
        writeSettings(store(), Key, {true, curveOf(0, {0, 0, 0, 0, 0, -60})});
        fakeScript().hasEQ = NpFlag(hasEQ);
        const QString song = m_fixture->folder.filePath("song.mp3");
        QFile file(song);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(1280));
        file.close();
        TestPlayForm &form = m_fixture->make({song});
        MessageBoxWatcher boxes;
        form.FormCreate();
        QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join(" | ")));

        QStringList names;
        for (const auto &name : fakeScript().callNames())
            names << QString::fromStdString(name);
        const qsizetype firstSong = names.indexOf("ESSetInputName");
        QVERIFY(firstSong > 0);
        QCOMPARE(form.ui->Equalizer1->isEnabled(), hasEQ != 0);
        if (hasEQ) {
            QVERIFY(names.lastIndexOf("ESUseEQ") < firstSong);
            QVERIFY(equalizerCalls().contains("ESEQ(7,5,-60)"));
        } else {
            QVERIFY(equalizerCalls().isEmpty());
        }
    }

    // Keys pressed in the Equalizer window move its bars; the main window's keys (Delete removes
    // the selected song, Space pauses, the arrows seek) stay out of it.
    void theMainWindowsKeysStayOutOfTheEqualizerWindow()
    {
        fakeScript().hasEQ = NpFlag(1);
        QStringList songs;
        for (const char *name : {"a.mp3", "b.mp3"}) {
            songs << m_fixture->folder.filePath(name);
            QFile file(songs.last());
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(1280));
        }
        TestPlayForm &form = m_fixture->make(songs);
        form.FormCreate();
        QCOMPARE(form.ui->SongList->items().size(), 2);

        form.ui->Equalizer1->trigger();
        auto *window = form.findChild<EqualizerForm *>();
        QVERIFY(window);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QSlider *bar = window->BandBar(0);
        bar->setFocus();
        for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Return, Qt::Key_Space, Qt::Key_Right})
            QTest::keyClick(bar, key);
        QCOMPARE(bar->value(), 5);
        QCOMPARE(form.ui->SongList->items().size(), 2);
    }
};

QTEST_MAIN(tst_equalizer)
#include "tst_equalizer.moc"
