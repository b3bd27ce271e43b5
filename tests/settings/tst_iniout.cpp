// Settings bound to properties by item lines: defaults on the first start, conversions by
// property kind, load-only items, items naming what the form lacks, the file name rule.
#include <QtTest>

#include "iniout.h"

namespace {

const QString Key = QStringLiteral("SOFTWARE\\Vellacort\\Vorov3");

// Stand-ins for the components items name: plain objects with the kinds of property settings
// use, and setters that behave like the real controls' (clamping, refusing).
class Component : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Checked MEMBER m_checked)
    Q_PROPERTY(int Position MEMBER m_position)
    Q_PROPERTY(QString Text MEMBER m_text)
    Q_PROPERTY(double Value READ value WRITE setValue)
    Q_PROPERTY(Mode Style MEMBER m_style)
    Q_PROPERTY(QStringList Lines MEMBER m_lines)
    Q_PROPERTY(int Refusing READ refusing WRITE setRefusing)
public:
    enum Mode { Plain, Fancy, Loud };
    Q_ENUM(Mode)
    explicit Component(const QString &name, QObject *parent) : QObject(parent)
    {
        setObjectName(name);
    }
    double value() const { return m_value; }
    void setValue(double v) { m_value = std::clamp(v, 6.0, 12.0); } // as the spin edit
    int refusing() const { return 1; }
    void setRefusing(int) { throw std::runtime_error("refused"); }

    bool m_checked = false;
    int m_position = 3;
    QString m_text = QStringLiteral("designed");
    double m_value = 8;
    Mode m_style = Plain;
    QStringList m_lines;
};

QString item(const QString &component, const QString &property, const QString &defaultText,
             const QString &value, const QString &loadOnly = QStringLiteral("0"))
{
    return QStringList({component, property, defaultText, Key, value, "1", loadOnly}).join(';');
}

} // namespace

class tst_iniout : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<RegistryStore> store;
    QObject *form = nullptr;
    Component *box = nullptr;
    TIniOut *ini = nullptr;

    void stored(const QString &name, const QString &text,
                RegistryValueType type = RegistryValueType::String)
    {
        store->createKey(RegistryRoot::LocalMachine, Key);
        store->writeValue(RegistryRoot::LocalMachine, Key, name, {type, text});
    }
    QString storedText(const QString &name)
    {
        auto value = store->readValue(RegistryRoot::LocalMachine, Key, name);
        return value ? value->data : QStringLiteral("<none>");
    }

private slots:
    void init()
    {
        QDir(dir.path()).removeRecursively();
        store = makeFileRegistryStore(dir.path());
        form = new QObject;
        form->setObjectName(QStringLiteral("PlayForm"));
        box = new Component(QStringLiteral("CheckBox1"), form);
        ini = new TIniOut(form, *store);
        ini->SetRegistryRoot(TIniOut::LOCAL_MACHINE);
    }
    void cleanup() { delete form; }

    void fields_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("field");
        QTest::newRow("first") << "CheckBox1;Checked;True" << 1 << "CheckBox1";
        QTest::newRow("trimmed") << " \tA ;\x01 B\x1f ;" << 2 << "B";
        QTest::newRow("blank default") << "A;B; ;K;V" << 3 << "";
        QTest::newRow("past the last") << "A;B" << 5 << "";
        QTest::newRow("empty last") << "A;B;" << 3 << "";
    }
    void fields()
    {
        QFETCH(QString, line);
        QFETCH(int, number);
        QFETCH(QString, field);
        QCOMPARE(TIniOut::ExtractField(line, number), field);
    }

    void itemLines()
    {
        QVERIFY(TIniOut::IsItemLine(QStringLiteral(";;;;Value")));
        QVERIFY(!TIniOut::IsItemLine(QStringLiteral("  ")));
        QVERIFY(!TIniOut::IsItemLine(QStringLiteral(";;default;;;1;0")));
    }

    void firstStartGivesDefaults()
    {
        ini->SetItems({item("PlayForm", "objectName", "PlayForm", "Name"),
                       item("CheckBox1", "Checked", "True", "SortOnLoad"),
                       item("CheckBox1", "Position", " ", "Slider1Position"),
                       item("CheckBox1", "Text", "16384", "BufferSize"),
                       item("CheckBox1", "Style", "loud", "Style")});
        ini->LoadFromRegistry();
        QVERIFY(box->m_checked);
        QCOMPARE(box->m_position, 3); // no default: as designed
        QCOMPARE(box->m_text, QStringLiteral("16384"));
        QCOMPARE(box->m_style, Component::Loud);
        // Nothing was written by loading.
        QVERIFY(!store->keyExists(RegistryRoot::LocalMachine, Key));
    }

    void storedTextByKind_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("yes") << "Checked"
                             << "yes" << QVariant(true);
        QTest::newRow("True") << "Checked"
                              << "True" << QVariant(true);
        QTest::newRow("no") << "Checked"
                            << "no" << QVariant(false);
        QTest::newRow("0") << "Checked"
                           << "0" << QVariant(false);
        QTest::newRow("false") << "Checked"
                               << "false" << QVariant(false);
        QTest::newRow("empty flag stays") << "Checked"
                                          << "" << QVariant(false);
        QTest::newRow("number") << "Position"
                                << "-42" << QVariant(-42);
        QTest::newRow("not a number") << "Position"
                                      << "abc" << QVariant(3);
        QTest::newRow("empty text wins") << "Text"
                                         << "" << QVariant(QString());
        QTest::newRow("bar kept") << "Text"
                                  << "skins/blue.sk|" << QVariant("skins/blue.sk|");
        QTest::newRow("clamped") << "Value"
                                 << "20" << QVariant(12.0);
        QTest::newRow("not a float") << "Value"
                                     << "abc" << QVariant(8.0);
        QTest::newRow("enum any case") << "Style"
                                       << "FANCY" << QVariant(int(Component::Fancy));
        QTest::newRow("unknown enum") << "Style"
                                      << "Quiet" << QVariant(int(Component::Plain));
        QTest::newRow("list") << "Lines"
                              << "a|b||c" << QVariant(QStringList({"a", "b", "", "c"}));
    }
    void storedTextByKind()
    {
        QFETCH(QString, property);
        QFETCH(QString, text);
        QFETCH(QVariant, expected);
        stored(QStringLiteral("Value1"), text);
        ini->SetItems({item("checkbox1", property, "True", "Value1")});
        ini->LoadFromRegistry();
        QVariant got = box->property(property.toLatin1());
        if (property == QLatin1String("Style"))
            got = got.toInt();
        QCOMPARE(got, expected);

        // What loads saves back as the same text (a value the setter changed excepted).
        if (property == QLatin1String("Text") || property == QLatin1String("Lines")) {
            ini->SaveToRegistry();
            QCOMPARE(storedText(QStringLiteral("Value1")), text);
        }
    }

    void nonTextValueLeavesThePropertyAlone()
    {
        stored(QStringLiteral("BufferSize"), QStringLiteral("4096"), RegistryValueType::Other);
        ini->SetItems({item("CheckBox1", "Text", "16384", "BufferSize")});
        ini->LoadFromRegistry();
        QCOMPARE(box->m_text, QStringLiteral("designed"));
        stored(QStringLiteral("BufferSize"), QString("4096") + QChar(0) + "junk");
        ini->LoadFromRegistry();
        QCOMPARE(box->m_text, QStringLiteral("4096"));
    }

    void savingWritesText()
    {
        box->m_checked = true;
        box->m_position = 65535;
        box->m_value = 8;
        box->m_style = Component::Fancy;
        ini->SetItems({item("CheckBox1", "Checked", "False", "Flag"),
                       item("CheckBox1", "Position", "", "Position"),
                       item("CheckBox1", "Value", "", "FontSize"),
                       item("CheckBox1", "Style", "", "Style"),
                       item("CheckBox1", "Text", "", "LoadOnly", "1"),
                       item("Missing", "Checked", "", "Missing"),
                       item("CheckBox1", "NoSuchProperty", "", "Nothing"),
                       item("CheckBox1", "Refusing", "", "Refused")});
        ini->SaveToRegistry();
        QCOMPARE(storedText("Flag"), QStringLiteral("1"));
        QCOMPARE(storedText("Position"), QStringLiteral("65535"));
        QCOMPARE(storedText("FontSize"), QStringLiteral("8"));
        QCOMPARE(storedText("Style"), QStringLiteral("Fancy"));
        QCOMPARE(storedText("LoadOnly"), QStringLiteral("<none>"));
        QCOMPARE(storedText("Missing"), QStringLiteral("<none>"));
        QCOMPARE(storedText("Nothing"), QStringLiteral("<none>"));

        // Loading goes on past an item whose setter refuses.
        stored("Refused", "5");
        stored("Position", "7");
        ini->LoadFromRegistry();
        QCOMPARE(box->m_position, 7);
    }

    void fileNameRule_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("stored");
        QTest::newRow("extension") << "c:\\prog\\settings.cfg"
                                   << "C:\\PROG\\SETTINGS.INI";
        QTest::newRow("none") << "/home/me/norl"
                              << "/HOME/ME/NORL.INI";
        QTest::newRow("dot in folder") << "/a.b/c"
                                       << "/A.B/C.INI";
        QTest::newRow("two dots") << "x.tar.gz"
                                  << "X.TAR.INI";
    }
    void fileNameRule()
    {
        QFETCH(QString, given);
        QFETCH(QString, stored);
        ini->SetFileName(given);
        QCOMPARE(ini->FileName(), stored);
    }
};

QTEST_GUILESS_MAIN(tst_iniout)
#include "tst_iniout.moc"
