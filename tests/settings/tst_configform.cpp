// The Preferences dialog against a real store: what an instance starts with, what OK stores
// and that every other way out stores nothing, Load Defaults, the skin file dialog, and a
// layout in which no text is cut off.
#include <QtTest>
#include <QtWidgets>

#include "configform.h"
#include "spinedit.h"

namespace {

const QString Key = QStringLiteral("SOFTWARE\\Vellacort\\Vorov3");
const QStringList ValueNames = {
    "SortOnLoad",       "DisplayRecordingInfo", "RememberLastLoaded", "NumbersInPlaylist",
    "PlayListFontSize", "BufferSize",           "BufferCount",        "Skin"};
const QString NotStored = QStringLiteral("<none>");

// What OK stores for a form that nobody touched on the first start.
const QStringList DefaultTexts = {"1", "1", "1", "0", "8", "16384", "12", ""};

// The user's edit of one control, given as "Component=text"; "1" and "0" tick check boxes.
void edit(TConfigFrm &form, const QString &change)
{
    const QString name = change.section(QLatin1Char('='), 0, 0);
    const QString text = change.section(QLatin1Char('='), 1);
    QWidget *control = form.findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    if (auto *box = qobject_cast<QCheckBox *>(control))
        box->setChecked(text == QLatin1String("1"));
    else if (auto *spin = qobject_cast<TRzSpinEdit *>(control))
        spin->setText(text);
    else if (auto *line = qobject_cast<QLineEdit *>(control))
        line->setText(text);
}

QPushButton *button(TConfigFrm &form, const char *name)
{
    return form.findChild<QPushButton *>(QLatin1String(name));
}

} // namespace

class tst_configform : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<RegistryStore> store;

    void seed(const QStringList &assignments)
    {
        store->createKey(RegistryRoot::LocalMachine, Key);
        for (const QString &assignment : assignments)
            store->writeValue(RegistryRoot::LocalMachine, Key,
                              assignment.section(QLatin1Char('='), 0, 0),
                              {RegistryValueType::String, assignment.section(QLatin1Char('='), 1)});
    }
    QStringList storedTexts()
    {
        QStringList texts;
        for (const QString &name : ValueNames) {
            auto value = store->readValue(RegistryRoot::LocalMachine, Key, name);
            texts << (value ? value->data : NotStored);
        }
        return texts;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFontDatabase::addApplicationFont(QStringLiteral(NORL_TEST_FONT_DIR) +
                                                  "/LiberationSans-Regular.ttf") >= 0);
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"),
                                  QStringLiteral("Liberation Sans"));
        // The skin file dialog must be one the test can reach.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }
    void init()
    {
        QDir(dir.path()).removeRecursively();
        store = makeFileRegistryStore(dir.path());
    }

    void firstStartShowsDefaults()
    {
        TConfigFrm form(nullptr, *store);
        QCOMPARE(QList<bool>({form.CheckBox1()->isChecked(), form.CheckBox2()->isChecked(),
                              form.CheckBox3()->isChecked(), form.CheckBox4()->isChecked()}),
                 QList<bool>({true, true, true, false}));
        QCOMPARE(form.Edit1()->value(), 8.0);
        QCOMPARE(form.Edit2()->text(), QStringLiteral("16384"));
        QCOMPARE(form.Edit3()->text(), QStringLiteral("12"));
        QCOMPARE(form.Edit4()->text(), QString());
        QCOMPARE(form.findChild<QTabWidget *>("PageControl1")->currentIndex(), 0);
    }

    // On the screen's centre, not over its owner; placed by the frame's corner, so the client
    // area may sit off by the frame's width.
    void fixedAndCentredOnScreen()
    {
        QWidget owner;
        owner.setGeometry(10, 10, 200, 150);
        owner.show();
        TConfigFrm form(&owner, *store);
        QCOMPARE(form.minimumSize(), QSize(426, 289));
        QCOMPARE(form.maximumSize(), QSize(426, 289));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QPoint frame = form.geometry().topLeft() - form.frameGeometry().topLeft();
        const QPoint offset =
            form.geometry().center() - form.screen()->availableGeometry().center();
        QVERIFY2(qAbs(offset.x()) <= frame.x() + 1 && qAbs(offset.y()) <= frame.y() + 1,
                 qPrintable(QString("off by %1,%2").arg(offset.x()).arg(offset.y())));
    }

    void storedValuesLoad_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("component");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QVariant>("shown");
        QTest::newRow("yes checks") << "NumbersInPlaylist=yes"
                                    << "CheckBox4" << QByteArray("checked") << QVariant(true);
        QTest::newRow("0 unchecks") << "SortOnLoad=0"
                                    << "CheckBox1" << QByteArray("checked") << QVariant(false);
        QTest::newRow("empty flag keeps the design")
            << "SortOnLoad="
            << "CheckBox1" << QByteArray("checked") << QVariant(true);
        QTest::newRow("font size in range") << "PlayListFontSize=10"
                                            << "Edit1" << QByteArray("Value") << QVariant(10.0);
        QTest::newRow("font size above range") << "PlayListFontSize=20"
                                               << "Edit1" << QByteArray("Value") << QVariant(12.0);
        QTest::newRow("font size not a number") << "PlayListFontSize=abc"
                                                << "Edit1" << QByteArray("Value") << QVariant(8.0);
        QTest::newRow("empty buffer size wins")
            << "BufferSize="
            << "Edit2" << QByteArray("text") << QVariant(QString());
        QTest::newRow("buffer size unchecked")
            << "BufferSize=70000"
            << "Edit2" << QByteArray("text") << QVariant("70000");
        QTest::newRow("skin with a bar")
            << "Skin=/skins/red|blue.sk|"
            << "Edit4" << QByteArray("text") << QVariant("/skins/red|blue.sk|");
    }
    void storedValuesLoad()
    {
        QFETCH(QString, stored);
        QFETCH(QString, component);
        QFETCH(QByteArray, property);
        QFETCH(QVariant, shown);
        seed({stored});
        TConfigFrm form(nullptr, *store);
        QCOMPARE(form.findChild<QWidget *>(component)->property(property), shown);
    }

    void okStoresTexts_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("untouched first start") << QStringList() << QStringList() << DefaultTexts;
        QTest::newRow("edits as typed")
            << QStringList()
            << QStringList{"CheckBox1=0", "CheckBox2=0", "CheckBox3=0", "CheckBox4=1",
                           "Edit1=11",    "Edit2=70000", "Edit3=abc",   "Edit4=/skins/red.sk"}
            << QStringList{"0", "0", "0", "1", "11", "70000", "abc", "/skins/red.sk"};
        QTest::newRow("skin cleared")
            << QStringList{"Skin=/skins/red.sk"} << QStringList{"Edit4="} << DefaultTexts;
    }
    void okStoresTexts()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, edits);
        QFETCH(QStringList, after);
        seed(before);
        TConfigFrm form(nullptr, *store);
        for (const QString &change : edits)
            edit(form, change);
        button(form, "Button1")->click();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(storedTexts(), after);
    }

    // Only OK and Enter (the default button) store; everything else leaves the store alone.
    void waysOut_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("saves");
        QTest::newRow("OK") << "OK" << true;
        QTest::newRow("Enter in a field") << "Enter" << true;
        QTest::newRow("Enter in the font size") << "Enter in Edit1" << true;
        QTest::newRow("Cancel") << "Cancel" << false;
        QTest::newRow("Esc") << "Esc" << false;
        QTest::newRow("close box") << "close" << false;
        QTest::newRow("destroyed unshown") << "destroy" << false;
    }
    void waysOut()
    {
        QFETCH(QString, way);
        QFETCH(bool, saves);
        auto form = std::make_unique<TConfigFrm>(nullptr, *store);
        edit(*form, "CheckBox1=0");
        edit(*form, "Edit2=70000");
        if (way != QLatin1String("destroy")) {
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        }
        if (way == QLatin1String("OK"))
            QTest::mouseClick(button(*form, "Button1"), Qt::LeftButton);
        else if (way == QLatin1String("Enter"))
            QTest::keyClick(form->Edit2(), Qt::Key_Return);
        else if (way == QLatin1String("Enter in Edit1"))
            QTest::keyClick(form->Edit1(), Qt::Key_Return);
        else if (way == QLatin1String("Cancel"))
            QTest::mouseClick(button(*form, "Button2"), Qt::LeftButton);
        else if (way == QLatin1String("Esc"))
            QTest::keyClick(form->Edit2(), Qt::Key_Escape);
        else if (way == QLatin1String("close"))
            form->close();
        if (way != QLatin1String("destroy")) {
            QVERIFY(!form->isVisible());
            QCOMPARE(form->result(), int(saves ? QDialog::Accepted : QDialog::Rejected));
        }
        form.reset();
        QStringList expected(ValueNames.size(), NotStored);
        if (saves)
            expected = QStringList{"0", "1", "1", "0", "8", "70000", "12", ""};
        QCOMPARE(storedTexts(), expected);
    }

    void loadDefaultsLeavesOtherPages_data()
    {
        QTest::addColumn<QString>("closeWith");
        QTest::addColumn<QStringList>("after");
        const QStringList custom{"0", "0", "0", "1", "11", "70000", "20", "/skins/red.sk"};
        QTest::newRow("then Cancel") << "Button2" << custom;
        QTest::newRow("then OK") << "Button1" << QStringList{"1", "1",     "1",  "0",
                                                             "8", "70000", "20", "/skins/red.sk"};
    }
    void loadDefaultsLeavesOtherPages()
    {
        QFETCH(QString, closeWith);
        QFETCH(QStringList, after);
        seed({"SortOnLoad=0", "DisplayRecordingInfo=0", "RememberLastLoaded=0",
              "NumbersInPlaylist=1", "PlayListFontSize=11", "BufferSize=70000", "BufferCount=20",
              "Skin=/skins/red.sk"});
        TConfigFrm form(nullptr, *store);
        button(form, "Button3")->click();
        QCOMPARE(QList<bool>({form.CheckBox1()->isChecked(), form.CheckBox2()->isChecked(),
                              form.CheckBox3()->isChecked(), form.CheckBox4()->isChecked()}),
                 QList<bool>({true, true, true, false}));
        QCOMPARE(form.Edit1()->text(), QStringLiteral("8"));
        QCOMPARE(QStringList({form.Edit2()->text(), form.Edit3()->text(), form.Edit4()->text()}),
                 QStringList({"70000", "20", "/skins/red.sk"}));
        QCOMPARE(storedTexts()[0], QStringLiteral("0")); // nothing stored before closing
        button(form, closeWith.toLatin1())->click();
        QCOMPARE(storedTexts(), after);
    }

    void skinFileDialog_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("confirmed file replaces the text") << true;
        QTest::newRow("cancel keeps the text") << false;
    }
    void skinFileDialog()
    {
        QFETCH(bool, confirm);
        const QString chosen = dir.filePath(QStringLiteral("green/green.sk"));
        QVERIFY(QDir().mkpath(QFileInfo(chosen).path()));
        QFile skin(chosen);
        QVERIFY(skin.open(QIODevice::WriteOnly));
        skin.close();
        TConfigFrm form(nullptr, *store);
        form.Edit4()->setText(QStringLiteral("/skins/old.sk"));

        QStringList filters;
        QString selectedFilter;
        bool answered = false;
        QTimer::singleShot(0, &form, [&] {
            auto *dialog = form.findChild<QFileDialog *>(QStringLiteral("OpenDialog1"));
            if (!dialog || !dialog->isVisible()) {
                if (QWidget *modal = QApplication::activeModalWidget())
                    modal->close();
                return;
            }
            answered = true;
            filters = dialog->nameFilters();
            selectedFilter = dialog->selectedNameFilter();
            if (confirm) {
                dialog->selectFile(chosen);
                static_cast<QDialog *>(dialog)->accept(); // protected in QFileDialog
            } else {
                dialog->reject();
            }
        });
        button(form, "Button4")->click();

        QVERIFY(answered);
        QCOMPARE(filters, QStringList({"Skin File (*.sk)", "All Files (*)"}));
        QCOMPARE(selectedFilter, filters.value(0));
        QCOMPARE(form.Edit4()->text(),
                 confirm ? QDir::toNativeSeparators(chosen) : QStringLiteral("/skins/old.sk"));
    }

    // Every caption fits its control and every control lies inside its page.
    void nothingIsCutOff_data()
    {
        QTest::addColumn<int>("page");
        QTest::newRow("General") << 0;
        QTest::newRow("Advanced") << 1;
        QTest::newRow("Skin") << 2;
    }
    void nothingIsCutOff()
    {
        QFETCH(int, page);
        TConfigFrm form(nullptr, *store);
        auto *pages = form.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
        pages->setCurrentIndex(page);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QWidget *sheet = pages->currentWidget();
        const QFontMetrics metrics(form.font());
        QList<QWidget *> controls = sheet->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        controls << button(form, "Button1") << button(form, "Button2");
        for (QWidget *control : std::as_const(controls)) {
            const QByteArray name = control->objectName().toLatin1();
            if (control->parentWidget() == sheet)
                QVERIFY2(sheet->rect().contains(control->geometry()), name);
            if (auto *label = qobject_cast<QLabel *>(control)) {
                const int needed = label->wordWrap() ? label->heightForWidth(label->width())
                                                     : label->sizeHint().height();
                QVERIFY2(label->height() >= needed, name);
                if (!label->wordWrap())
                    QVERIFY2(label->width() >= label->sizeHint().width(), name);
            } else if (auto *box = qobject_cast<QCheckBox *>(control)) {
                QVERIFY2(box->width() >= box->sizeHint().width(), name);
            } else if (auto *push = qobject_cast<QPushButton *>(control)) {
                const QString text = QString(push->text()).remove(QLatin1Char('&'));
                QVERIFY2(push->width() >= metrics.horizontalAdvance(text) + 8, name);
            }
        }
    }
};

QTEST_MAIN(tst_configform)
#include "tst_configform.moc"
