// The file-backed registry store: keys and values, case rules, atomic files, damaged files,
// leftovers of interrupted saves.
#include <QtTest>

#include "registrystore.h"

class tst_registrystore : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<RegistryStore> store;
    const QString key = QStringLiteral("SOFTWARE\\Vellacort\\Vorov3");

    QString rootFile() const { return dir.filePath(QStringLiteral("HKEY_LOCAL_MACHINE.json")); }

private slots:
    void init()
    {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        store = makeFileRegistryStore(dir.path());
    }

    void keysAndValues()
    {
        QVERIFY(!store->keyExists(RegistryRoot::LocalMachine, key));
        QVERIFY(!store->writeValue(RegistryRoot::LocalMachine, key, "Top", {}));
        QVERIFY(store->createKey(RegistryRoot::LocalMachine, key));
        QVERIFY(
            store->keyExists(RegistryRoot::LocalMachine, QStringLiteral("software\\vellacort")));
        QVERIFY(store->keyExists(RegistryRoot::LocalMachine, QStringLiteral("SOFTWARE")));
        QVERIFY(!store->keyExists(RegistryRoot::CurrentUser, key)); // roots are apart

        QVERIFY(store->writeValue(RegistryRoot::LocalMachine, key, "Top",
                                  {RegistryValueType::String, "20"}));
        QVERIFY(store->writeValue(RegistryRoot::LocalMachine, key.toLower(), "TOP",
                                  {RegistryValueType::ExpandableString, "21|x\n;y"}));
        auto value = store->readValue(RegistryRoot::LocalMachine, key, "top");
        QVERIFY(value);
        QCOMPARE(value->data, QStringLiteral("21|x\n;y"));
        QCOMPARE(value->type, RegistryValueType::ExpandableString);
        QVERIFY(!store->readValue(RegistryRoot::LocalMachine, key, "Left"));

        // Another store on the same folder sees it: nothing is cached.
        auto other = makeFileRegistryStore(dir.path());
        QCOMPARE(other->readValue(RegistryRoot::LocalMachine, key, "Top")->data,
                 QStringLiteral("21|x\n;y"));
    }

    // Held writes are seen by this store at once and by the file only when the outer batch ends.
    void batchWritesOnceAtItsEnd()
    {
        auto other = makeFileRegistryStore(dir.path());
        auto stored = [&](RegistryRoot root) {
            auto value = other->readValue(root, key, "Top");
            return value ? value->data : QString();
        };
        {
            const RegistryBatch outer(*store);
            QVERIFY(store->createKey(RegistryRoot::LocalMachine, key));
            QVERIFY(store->createKey(RegistryRoot::CurrentUser, key));
            {
                const RegistryBatch inner(*store);
                QVERIFY(store->writeValue(RegistryRoot::LocalMachine, key, "Top",
                                          {RegistryValueType::String, "1"}));
            }
            QVERIFY(store->writeValue(RegistryRoot::LocalMachine, key, "Top",
                                      {RegistryValueType::String, "2"}));
            QVERIFY(store->writeValue(RegistryRoot::CurrentUser, key, "Top",
                                      {RegistryValueType::String, "3"}));
            QCOMPARE(store->readValue(RegistryRoot::LocalMachine, key, "top")->data, "2");
            QVERIFY(!QFile::exists(rootFile()));
        }
        QCOMPARE(stored(RegistryRoot::LocalMachine), QStringLiteral("2"));
        QCOMPARE(stored(RegistryRoot::CurrentUser), QStringLiteral("3"));

        // After the batch every write goes to the file again.
        QVERIFY(store->writeValue(RegistryRoot::LocalMachine, key, "Top",
                                  {RegistryValueType::String, "4"}));
        QCOMPARE(stored(RegistryRoot::LocalMachine), QStringLiteral("4"));
    }

    void damagedFilesAreKeptAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("garbage") << QByteArray("\x01\x02 not json {");
        QTest::newRow("foreign json") << QByteArray("{\"keys\": {}}");
        QTest::newRow("truncated") << QByteArray("{\"format\": \"NorlPlayer registry 1\", \"ke");
    }
    void damagedFilesAreKeptAside()
    {
        QFETCH(QByteArray, content);
        QFile file(rootFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QVERIFY(!store->keyExists(RegistryRoot::LocalMachine, key));
        QVERIFY(store->createKey(RegistryRoot::LocalMachine, key));
        QVERIFY(store->writeValue(RegistryRoot::LocalMachine, key, "Top", {}));
        const QStringList aside =
            QDir(dir.path()).entryList({QStringLiteral("HKEY_LOCAL_MACHINE.json.damaged-*")});
        QCOMPARE(aside.size(), 1);
        QFile kept(dir.filePath(aside.first()));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), content);
    }

    void unreadableFileIsNotOverwritten()
    {
        if (geteuid() == 0)
            QSKIP("root reads every file");
        QVERIFY(store->createKey(RegistryRoot::LocalMachine, key));
        QFile::setPermissions(rootFile(), QFileDevice::WriteOwner);
        QVERIFY(!store->createKey(RegistryRoot::LocalMachine, QStringLiteral("Other")));
        QFile::setPermissions(rootFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY(store->keyExists(RegistryRoot::LocalMachine, key));
    }

    // Saves cut short by a kill leave temporary files; the next save clears the stale ones only.
    void leftoversOfInterruptedSavesAreCleared()
    {
        const auto makeFile = [this](const QString &name, int ageSeconds) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("{\"format\": \"NorlPlayer registry 1\", \"ke");
            QVERIFY(file.flush());
            file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                             QFileDevice::FileModificationTime);
        };
        makeFile(QStringLiteral("HKEY_LOCAL_MACHINE.json.aBcxYz"), 3600);
        makeFile(QStringLiteral("HKEY_LOCAL_MACHINE.json.QwxEry"), 0); // a save under way
        makeFile(QStringLiteral("HKEY_LOCAL_MACHINE.json.damaged-20260101"), 3600);
        makeFile(QStringLiteral("HKEY_LOCAL_MACHINE.json.a.b.c"), 3600);
        makeFile(QStringLiteral("HKEY_LOCAL_MACHINE.json.backup"), 3600); // the user's own
        makeFile(QStringLiteral("HKEY_LOCAL_MACHINE.json.old123"), 3600);
        makeFile(QStringLiteral("HKEY_CURRENT_USER.json.ZzAbcd"), 3600); // another root's
        QVERIFY(store->createKey(RegistryRoot::LocalMachine, key));
        const QStringList left = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(left, QStringList({QStringLiteral("HKEY_CURRENT_USER.json.ZzAbcd"),
                                    QStringLiteral("HKEY_LOCAL_MACHINE.json"),
                                    QStringLiteral("HKEY_LOCAL_MACHINE.json.QwxEry"),
                                    QStringLiteral("HKEY_LOCAL_MACHINE.json.a.b.c"),
                                    QStringLiteral("HKEY_LOCAL_MACHINE.json.backup"),
                                    QStringLiteral("HKEY_LOCAL_MACHINE.json.damaged-20260101"),
                                    QStringLiteral("HKEY_LOCAL_MACHINE.json.old123")}));
    }

    void folderThatCannotBeMade()
    {
        auto nowhere = makeFileRegistryStore(QStringLiteral("/proc/norlplayer-cannot-exist"));
        QVERIFY(!nowhere->createKey(RegistryRoot::CurrentUser, key));
        QVERIFY(!nowhere->keyExists(RegistryRoot::CurrentUser, key));
    }
};

QTEST_GUILESS_MAIN(tst_registrystore)
#include "tst_registrystore.moc"
