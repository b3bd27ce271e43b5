// The .mp3 association against real files in a temporary home: the check at start, what the
// prompt's answers write (desktop entry and mimeapps.list, read back), what breaks the
// association, the "never display" flag, and the failures the user is told of.
#include <QtTest>
#include <QtWidgets>

#include "assocdialog.h"
#include "desktopassociation.h"
#include "pluslabel.h"
#include "registrystore.h"

namespace {

const QString FlagKey = QStringLiteral("SOFTWARE\\Vellacort\\NorlPlayer");
const QString FlagName = QStringLiteral("ShowAssocDialog");
const QString Associated =
    QStringLiteral("[Default Applications]\naudio/mpeg=norlplayer.desktop\n");

enum class Answer { Yes, No, TickAndNo };

struct Box {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons;
};

struct Start {
    bool shown = false;
    std::optional<int> result; // how the prompt closed; nothing while it is open
    QList<Box> boxes;
};

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll())
                                          : QStringLiteral("<none>");
}

void writeFile(const QString &path, const QString &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

void recordBoxes(TAssocDialog &dialog, Start &start)
{
    dialog.SetBoxRunner([&start](QMessageBox &box) {
        start.boxes << Box{box.icon(), box.windowTitle(), box.text(), box.standardButtons()};
    });
}

} // namespace

class tst_association : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home;
    std::unique_ptr<RegistryStore> store;
    std::unique_ptr<DesktopAssociation> association;

    QString path(const QString &relative) const { return home->filePath(relative); }
    QString entryFile() const { return path("data/applications/norlplayer.desktop"); }
    QString mimeAppsFile() const { return path("config/mimeapps.list"); }
    // A program file that exists.
    QString program(const QString &relative = QStringLiteral("bin/norlplayer"))
    {
        writeFile(path(relative), QStringLiteral("#!/bin/sh\n"));
        QFile::setPermissions(path(relative), QFile::permissions(path(relative)) |
                                                  QFileDevice::ExeOwner | QFileDevice::ExeUser);
        return path(relative);
    }
    QString flag() const
    {
        const auto value = store->readValue(RegistryRoot::CurrentUser, FlagKey, FlagName);
        return value ? value->data : QStringLiteral("<none>");
    }

    // What `xdg-mime query default audio/mpeg` answers with these variables and no others of
    // the desktop's.
    QString toolDefault(const QMap<QString, QString> &variables) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name :
             {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
              "GNOME_DESKTOP_SESSION_ID", "DE", "XDG_MENU_PREFIX", "XDG_CONFIG_DIRS"})
            environment.remove(name);
        for (auto it = variables.begin(); it != variables.end(); ++it)
            environment.insert(it.key(), it.value());
        QProcess query;
        query.setProcessEnvironment(environment);
        query.start(QStandardPaths::findExecutable("xdg-mime"), {"query", "default", "audio/mpeg"});
        if (!query.waitForFinished(30000))
            return QStringLiteral("<no answer>");
        return QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    }

    // One start of the program as far as the association goes, answering the prompt if shown.
    Start start(const QString &exePath, Answer answer)
    {
        Start result;
        runAssociationCheck(nullptr, *store, *association, exePath, [&](TAssocDialog &dialog) {
            result.shown = true;
            recordBoxes(dialog, result);
            connect(&dialog, &QDialog::finished, &dialog, [&](int code) { result.result = code; });
            if (answer == Answer::TickAndNo)
                dialog.CheckBox1()->setChecked(true);
            (answer == Answer::Yes ? dialog.Button1() : dialog.Button2())->click();
            // A failed Yes leaves the prompt open; the user then says No.
            if (!result.result)
                dialog.Button2()->click();
        });
        return result;
    }

private slots:
    void initTestCase()
    {
        QGuiApplication::setApplicationDisplayName(QStringLiteral("NorlPlayer"));
    }

    void init()
    {
        home = std::make_unique<QTemporaryDir>();
        QVERIFY(home->isValid());
        store = makeFileRegistryStore(path("registry"));
        association = std::make_unique<XdgDesktopAssociation>(
            XdgFolders{path("config"), {}, path("data"), {}, {}, {}});
    }

    void firstStartAnsweredNo()
    {
        const Start first = start(program(), Answer::No);
        QVERIFY(first.shown);
        QCOMPARE(first.result, QDialog::Rejected);
        QVERIFY(!QFile::exists(entryFile()));
        QVERIFY(!QFile::exists(mimeAppsFile()));
        QCOMPARE(flag(), "0");
        QVERIFY(start(program(), Answer::No).shown);
    }

    void yesAssociates_data()
    {
        QTest::addColumn<QString>("programFile");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain path") << "bin/norlplayer"
                                    << "$DIR/bin/norlplayer %f";
        QTest::newRow("blanks are quoted") << "my apps/norlplayer"
                                           << "\"$DIR/my apps/norlplayer\" %f";
    }

    void yesAssociates()
    {
        QFETCH(QString, programFile);
        QFETCH(QString, exec);
        exec.replace("$DIR", home->path());
        const QString exePath = program(programFile);
        const Start first = start(exePath, Answer::Yes);
        QVERIFY(first.shown);
        QCOMPARE(first.result, QDialog::Accepted);
        QVERIFY(first.boxes.isEmpty());
        QCOMPARE(readFile(entryFile()),
                 "[Desktop Entry]\nType=Application\nName=NorlPlayer\nExec=" + exec +
                     "\nMimeType=audio/mpeg;\nIcon=" + QFileInfo(exePath).path() +
                     "/norlplayer.svg\nTerminal=false\nCategories=AudioVideo;Audio;Player;\n");
        QCOMPARE(readFile(mimeAppsFile()), Associated);
        QCOMPARE(association->readCommand(), exec);

        // The flag is stored at every start, also when the prompt is not shown.
        store->writeValue(RegistryRoot::CurrentUser, FlagKey, FlagName,
                          {RegistryValueType::String, "junk"});
        QVERIFY(!start(exePath, Answer::No).shown);
        QCOMPARE(flag(), "0");
        // Moving the program breaks the association.
        QVERIFY(start(program("elsewhere/norlplayer"), Answer::No).shown);
    }

    // What the files hold decides; "$EXE" is the program's path.
    void check_data()
    {
        QTest::addColumn<QString>("programFile");
        QTest::addColumn<QString>("entryExec"); // "<none>": no entry
        QTest::addColumn<QString>("mimeApps");  // "<none>": no file
        QTest::addColumn<bool>("prompted");

        QTest::newRow("associated") << "bin/norlplayer"
                                    << "$EXE %f" << Associated << false;
        QTest::newRow("associated, with other lines")
            << "bin/norlplayer"
            << "$EXE %f"
            << "[Added Associations]\naudio/mpeg=a.desktop\n[Default Applications]\n"
               "text/plain=b.desktop\naudio/mpeg = norlplayer.desktop;other.desktop;\n"
            << false;
        QTest::newRow("blanks quoted") << "my apps/norlplayer"
                                       << "\"$EXE\" %f" << Associated << false;
        QTest::newRow("blanks not quoted") << "my apps/norlplayer"
                                           << "$EXE %f" << Associated << true;
        QTest::newRow("quoted without need") << "bin/norlplayer"
                                             << "\"$EXE\" %f" << Associated << true;
        QTest::newRow("other letter case") << "bin/norlplayer"
                                           << "$EXE %F" << Associated << true;
        QTest::newRow("another default")
            << "bin/norlplayer"
            << "$EXE %f"
            << "[Default Applications]\naudio/mpeg=other.desktop;norlplayer.desktop;\n"
            << true;
        QTest::newRow("default only in another section")
            << "bin/norlplayer"
            << "$EXE %f"
            << "[Added Associations]\naudio/mpeg=norlplayer.desktop;\n"
            << true;
        QTest::newRow("no entry") << "bin/norlplayer"
                                  << "<none>" << Associated << true;
        QTest::newRow("no defaults") << "bin/norlplayer"
                                     << "$EXE %f"
                                     << "<none>" << true;
    }

    void check()
    {
        QFETCH(QString, programFile);
        QFETCH(QString, entryExec);
        QFETCH(QString, mimeApps);
        QFETCH(bool, prompted);
        const QString exePath = program(programFile);
        if (entryExec != "<none>")
            writeFile(entryFile(), "[Desktop Entry]\nType=Application\nExec=" +
                                       entryExec.replace("$EXE", exePath) + "\n");
        if (mimeApps != "<none>")
            writeFile(mimeAppsFile(), mimeApps);
        QCOMPARE(start(exePath, Answer::No).shown, prompted);
    }

    // A program installed with its entry in a system data folder and a link to it on the PATH:
    // that entry counts as the association when it runs this program, and Yes then only makes it
    // the default. "$PREFIX" is the install's root.
    void installedEntry_data()
    {
        QTest::addColumn<QString>("installedExec");
        QTest::addColumn<QString>("userExec"); // "<none>": no entry of the user's
        QTest::addColumn<bool>("isDefault");
        QTest::addColumn<bool>("prompted");
        QTest::addColumn<bool>("userEntryAfterYes");
        QTest::newRow("through the PATH") << "norlplayer %F"
                                          << "<none>" << true << false << false;
        QTest::newRow("through a link") << "$PREFIX/bin/norlplayer %U"
                                        << "<none>" << true << false << false;
        QTest::newRow("not the default yet") << "norlplayer %F"
                                             << "<none>" << false << true << false;
        QTest::newRow("runs another program") << "other-player %F"
                                              << "<none>" << true << true << true;
        QTest::newRow("shadowed by the user's entry for another program")
            << "norlplayer %F"
            << "$PREFIX/bin/other-player %f" << true << true << true;
    }

    void installedEntry()
    {
        QFETCH(QString, installedExec);
        QFETCH(QString, userExec);
        QFETCH(bool, isDefault);
        QFETCH(bool, prompted);
        QFETCH(bool, userEntryAfterYes);
        const QString prefix = path("prefix");
        const QString exePath = program("prefix/lib/norlplayer/norlplayer");
        program("prefix/bin/other-player");
        QVERIFY(QFile::link("../lib/norlplayer/norlplayer", path("prefix/bin/norlplayer")));
        writeFile(path("sysdata/applications/norlplayer.desktop"),
                  "[Desktop Entry]\nType=Application\nName=NorlPlayer\nExec=" +
                      installedExec.replace("$PREFIX", prefix) + "\nMimeType=audio/mpeg;\n");
        if (userExec != "<none>")
            writeFile(entryFile(), "[Desktop Entry]\nType=Application\nExec=" +
                                       userExec.replace("$PREFIX", prefix) + "\n");
        if (isDefault)
            writeFile(mimeAppsFile(), Associated);
        const QByteArray searchPath = qgetenv("PATH");
        const auto restore = qScopeGuard([&] { qputenv("PATH", searchPath); });
        qputenv("PATH", (prefix + "/bin:").toLocal8Bit() + searchPath);
        association = std::make_unique<XdgDesktopAssociation>(
            XdgFolders{path("config"), {}, path("data"), {path("sysdata")}, {}, {}});

        QCOMPARE(start(exePath, Answer::Yes).shown, prompted);
        QCOMPARE(QFile::exists(entryFile()), userEntryAfterYes || userExec != "<none>");
        if (userEntryAfterYes)
            QCOMPARE(association->readCommand(), DesktopAssociation::commandFor(exePath));
        QCOMPARE(readFile(mimeAppsFile()), Associated);
        QVERIFY(!start(exePath, Answer::No).shown);
        // The same entry does not answer for a copy of the program elsewhere.
        QVERIFY(start(program("elsewhere/norlplayer"), Answer::No).shown);
    }

    void execQuoting_data()
    {
        QTest::addColumn<QString>("exePath");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("line"); // as written in the entry
        QTest::newRow("plain") << "/usr/bin/norlplayer"
                               << "/usr/bin/norlplayer %f"
                               << "Exec=/usr/bin/norlplayer %f";
        QTest::newRow("dollar and quote") << "/opt/a$b\"c/p"
                                          << "\"/opt/a\\$b\\\"c/p\" %f"
                                          << "Exec=\"/opt/a\\\\$b\\\\\"c/p\" %f";
        QTest::newRow("backslash") << "/opt/a\\b/p"
                                   << "\"/opt/a\\\\b/p\" %f"
                                   << "Exec=\"/opt/a\\\\\\\\b/p\" %f";
        QTest::newRow("percent") << "/opt/100%/p"
                                 << "/opt/100%%/p %f"
                                 << "Exec=/opt/100%%/p %f";
        QTest::newRow("tilde and backtick") << "/opt/~x`y/p"
                                            << "\"/opt/~x\\`y/p\" %f"
                                            << "Exec=\"/opt/~x\\\\`y/p\" %f";
    }

    void execQuoting()
    {
        QFETCH(QString, exePath);
        QFETCH(QString, command);
        QFETCH(QString, line);
        QCOMPARE(DesktopAssociation::commandFor(exePath), command);
        QVERIFY(association->writeEntry(exePath, "audio/mpeg"));
        QVERIFY(readFile(entryFile()).split('\n').contains(line));
        QCOMPARE(association->readCommand(), command);
    }

    void neverDisplayAgain()
    {
        const Start first = start(program(), Answer::TickAndNo);
        QVERIFY(first.shown);
        QCOMPARE(flag(), "1");
        QVERIFY(!QFile::exists(entryFile()));
        QVERIFY(!start(program(), Answer::No).shown);
        QCOMPARE(flag(), "1");
        // Another user has a store of their own.
        store = makeFileRegistryStore(path("other user"));
        QVERIFY(start(program(), Answer::No).shown);
    }

    void otherDefaultsKept_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("other sections")
            << "[Added Associations]\naudio/mpeg=vlc.desktop;\n"
            << "[Added Associations]\naudio/mpeg=vlc.desktop;\n\n" + Associated;
        QTest::newRow("no final line break") << "[Added Associations]\nx=y"
                                             << "[Added Associations]\nx=y\n\n" + Associated;
        QTest::newRow("our line replaced, nothing else")
            << "# mine\n[Default Applications]\ntext/plain=gedit.desktop\naudio/mpeg = "
               "vlc.desktop\n"
               "video/mp4=vlc.desktop\n\n[Removed Associations]\naudio/mpeg=rhythmbox.desktop\n"
            << "# mine\n[Default Applications]\ntext/plain=gedit.desktop\n"
               "audio/mpeg=norlplayer.desktop\nvideo/mp4=vlc.desktop\n\n[Removed Associations]\n"
               "audio/mpeg=rhythmbox.desktop\n";
        QTest::newRow("added at the end of its section")
            << "[Default Applications]\ntext/plain=gedit.desktop\n# note\n\n[Added "
               "Associations]\nx=y\n"
            << "[Default Applications]\ntext/plain=gedit.desktop\naudio/mpeg=norlplayer.desktop\n"
               "# note\n\n[Added Associations]\nx=y\n";
    }

    void otherDefaultsKept()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        writeFile(mimeAppsFile(), before);
        QCOMPARE(start(program(), Answer::Yes).result, QDialog::Accepted);
        QCOMPARE(readFile(mimeAppsFile()), after);
        QCOMPARE(association->readDefault("audio/mpeg"), "norlplayer.desktop");
    }

    // Dotfile managers keep mimeapps.list elsewhere and link it in.
    void linkedDefaultsStayLinked()
    {
        writeFile(path("dotfiles/mimeapps.list"), "[Added Associations]\nx=y\n");
        QVERIFY(QDir().mkpath(path("config")));
        QVERIFY(QFile::link(path("dotfiles/mimeapps.list"), mimeAppsFile()));
        start(program(), Answer::Yes);
        QVERIFY(QFileInfo(mimeAppsFile()).isSymLink());
        QCOMPARE(readFile(path("dotfiles/mimeapps.list")),
                 "[Added Associations]\nx=y\n\n" + Associated);
    }

    // A file or folder in the way stands for any target that cannot be written (even by root).
    void failedWrite_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<bool>("entryStands");
        QTest::newRow("applications folder") << "data/applications" << false;
        QTest::newRow("configuration folder") << "config" << true;
        QTest::newRow("mimeapps.list unreadable") << "config/mimeapps.list/x" << true;
    }

    void failedWrite()
    {
        QFETCH(QString, obstacle);
        QFETCH(bool, entryStands);
        writeFile(path(obstacle), "in the way");
        const QString obstacleText = readFile(path(obstacle));

        const Start first = start(program(), Answer::Yes);
        QCOMPARE(first.boxes.size(), 1);
        QCOMPARE(first.boxes[0].icon, QMessageBox::Critical);
        QCOMPARE(first.boxes[0].caption, "NorlPlayer");
        QCOMPARE(first.boxes[0].text, "Failed to set data for ''");
        // The prompt stayed open for No, and closing it still stored the flag.
        QCOMPARE(first.result, QDialog::Rejected);
        QCOMPARE(flag(), "0");
        QCOMPARE(QFile::exists(entryFile()), entryStands);
        QCOMPARE(readFile(path(obstacle)), obstacleText);

        TAssocDialog dialog(nullptr, *store, *association);
        QVERIFY_THROWS_EXCEPTION(AssociationWriteError, dialog.MakeAssociation("MP3", program()));
    }

    void missingProgram()
    {
        const QString gone = path("gone/norlplayer");
        const Start first = start(gone, Answer::Yes);
        QCOMPARE(first.boxes.size(), 1);
        QCOMPARE(first.boxes[0].icon, QMessageBox::NoIcon);
        QCOMPARE(first.boxes[0].caption, "NorlPlayer");
        QCOMPARE(first.boxes[0].text, "Error: Program not found: " + gone);
        QCOMPARE(first.boxes[0].buttons, QMessageBox::Ok);
        QCOMPARE(first.result, QDialog::Accepted);
        QVERIFY(!QFile::exists(entryFile()));
        QVERIFY(!QFile::exists(mimeAppsFile()));
    }

    // The desktop's own tool sees the default that Yes wrote.
    void desktopToolAgrees()
    {
        if (QStandardPaths::findExecutable("xdg-mime").isEmpty())
            QSKIP("xdg-mime is not installed");
        start(program(), Answer::Yes);
        QCOMPARE(toolDefault({{"XDG_CONFIG_HOME", path("config")},
                              {"XDG_DATA_HOME", path("data")},
                              {"XDG_DATA_DIRS", path("no system data")}}),
                 "norlplayer.desktop");
    }

    // The user's folders, the system's and the current desktop's lists, from the XDG variables:
    // the check finds the default the desktop's tool finds, and Yes makes it ours. "other" is
    // another player, installed system-wide; "ours" names the program's entry.
    void defaultsInEveryList_data()
    {
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<QStringList>("lists"); // folder/file=application
        QTest::addColumn<QString>("found");
        QTest::newRow("user's desktop list over the user's list")
            << "ubuntu:GNOME"
            << QStringList{"config/gnome-mimeapps.list=other", "config/mimeapps.list=ours"}
            << "other.desktop";
        QTest::newRow("desktop names in any letter case")
            << "KDE" << QStringList{"config/kde-mimeapps.list=other"} << "other.desktop";
        QTest::newRow("user's list over the system's")
            << "GNOME"
            << QStringList{"config/mimeapps.list=ours", "sysconfig/gnome-mimeapps.list=other"}
            << "norlplayer.desktop";
        QTest::newRow("system's list alone")
            << "" << QStringList{"sysconfig/mimeapps.list=other"} << "other.desktop";
        QTest::newRow("list in a data folder")
            << "" << QStringList{"sysdata/applications/mimeapps.list=other"} << "other.desktop";
        QTest::newRow("a default that is not installed is passed over")
            << "GNOME"
            << QStringList{"config/gnome-mimeapps.list=missing", "config/mimeapps.list=ours"}
            << "norlplayer.desktop";
        QTest::newRow("legacy system defaults")
            << "" << QStringList{"sysdata/applications/defaults.list=other"} << "other.desktop";
        QTest::newRow("no defaults anywhere") << "GNOME" << QStringList{} << "";
    }
    void defaultsInEveryList()
    {
        QFETCH(QString, desktop);
        QFETCH(QStringList, lists);
        QFETCH(QString, found);
        const QString exePath = program();
        writeFile(path("sysdata/applications/other.desktop"),
                  "[Desktop Entry]\nType=Application\nExec=/bin/sh %f\nMimeType=audio/mpeg;\n");
        QVERIFY(association->writeEntry(exePath, "audio/mpeg"));
        for (const QString &list : lists) {
            const QString application = list.section('=', 1);
            writeFile(path(list.section('=', 0, 0)),
                      "[Default Applications]\naudio/mpeg=" +
                          (application == "ours" ? "norlplayer" : application) + ".desktop;\n");
        }
        const QMap<QString, QString> variables{{"XDG_CONFIG_HOME", path("config")},
                                               {"XDG_CONFIG_DIRS", path("sysconfig")},
                                               {"XDG_DATA_HOME", path("data")},
                                               {"XDG_DATA_DIRS", path("sysdata")},
                                               {"XDG_CURRENT_DESKTOP", desktop}};
        const auto restore = qScopeGuard([&] {
            for (const QString &name : variables.keys())
                qunsetenv(qPrintable(name));
        });
        for (auto it = variables.begin(); it != variables.end(); ++it)
            qputenv(qPrintable(it.key()), it.value().toLocal8Bit());
        qunsetenv("XDG_MENU_PREFIX");
        const bool tool = !QStandardPaths::findExecutable("xdg-mime").isEmpty();

        association = makeUserDesktopAssociation();
        QCOMPARE(association->readDefault("audio/mpeg"), found);
        // Without any default the tool takes any program that opens the type; the check asks.
        if (tool && !found.isEmpty())
            QCOMPARE(toolDefault(variables), found);
        const Start first = start(exePath, Answer::Yes);
        QCOMPARE(first.shown, found != "norlplayer.desktop");
        QCOMPARE(first.result.value_or(QDialog::Accepted), QDialog::Accepted);

        association = makeUserDesktopAssociation();
        QCOMPARE(association->readDefault("audio/mpeg"), "norlplayer.desktop");
        if (tool)
            QCOMPARE(toolDefault(variables), "norlplayer.desktop");
        QVERIFY(!start(exePath, Answer::No).shown);
    }

    void form()
    {
        TAssocDialog dialog(nullptr, *store, *association);
        QCOMPARE(dialog.windowTitle(), "NorlPlayer");
        QCOMPARE(dialog.minimumSize(), QSize(377, 132));
        QCOMPARE(dialog.maximumSize(), QSize(377, 132));
        QCOMPARE(dialog.PlusLabel1()->caption(),
                 "For full access to NorlPlayer's shell interface, NorlPlayer must be properly "
                 "associated with MP3 files. However, NorlPlayer is not currently associated with "
                 "MP3 files.\r\n\r\n\x02"
                 "Associate NorlPlayer with MP3 files now?\x02\r\n");
        QVERIFY(dialog.Button1()->isDefault());
        // Esc answers No.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(rejected.size(), 1);
    }

    // The question is drawn bold: its strokes darken more pixels than the same words drawn plain,
    // while the paragraph above, plain in both, is the same picture.
    void questionIsBold()
    {
        TAssocDialog dialog(nullptr, *store, *association);
        TPlusLabel &label = *dialog.PlusLabel1();
        const QImage asShown = label.grab().toImage();
        label.setCaption(label.caption().remove(QChar(2)));
        const QImage plain = label.grab().toImage();
        QCOMPARE(asShown.size(), plain.size());

        const auto darkPixels = [](const QImage &image, int top, int bottom) {
            int count = 0;
            for (int y = top; y < bottom; ++y)
                for (int x = 0; x < image.width(); ++x)
                    count += qGray(image.pixel(x, y)) < 96;
            return count;
        };
        // The question starts after the blank line that follows the first paragraph.
        const int blankLine = QFontMetrics(label.font()).height() / 2;
        int questionTop = -1, blankRows = 0;
        bool seenText = false;
        for (int y = 0; y < plain.height() && questionTop < 0; ++y) {
            const bool ink = darkPixels(plain, y, y + 1) > 0;
            if (ink && seenText && blankRows >= blankLine)
                questionTop = y;
            blankRows = ink ? 0 : blankRows + 1;
            seenText = seenText || ink;
        }
        QVERIFY(questionTop > 0);
        QCOMPARE(darkPixels(asShown, 0, questionTop), darkPixels(plain, 0, questionTop));
        QVERIFY(darkPixels(asShown, questionTop, asShown.height()) >
                darkPixels(plain, questionTop, plain.height()) * 11 / 10);
    }
};

QTEST_MAIN(tst_association)
#include "tst_association.moc"
