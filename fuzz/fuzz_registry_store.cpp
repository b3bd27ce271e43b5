// The settings store reads a file that anything may have written. Puts the bytes where the
// store keeps a root, then reads and writes through the store the way the program does. The
// store must not crash, and the bytes must never be lost: a file it cannot use is moved aside
// whole, and a write into a good file keeps every value it does not replace.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <map>
#include <unistd.h>

#include "fuzzinput.h"
#include "registrystore.h"

namespace {

constexpr const char *Target = "fuzz_registry_store";
constexpr RegistryRoot Root = RegistryRoot::LocalMachine;
const QString StoreFileName = QStringLiteral("HKEY_LOCAL_MACHINE.json");
const QString SettingsKey = QStringLiteral("SOFTWARE\\Vellacort\\Vorov3");
const QString WrittenName = QStringLiteral("Written by the fuzzer");

// The program's key spelt the ways callers may spell it, a parent key, and the empty path.
const char *const KeyPaths[] = {"SOFTWARE\\Vellacort\\Vorov3", "\\software\\vellacort\\VOROV3\\",
                                "SOFTWARE", ""};
const char *const ValueNames[] = {"Top", "Skin", "top", ""};

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool folderHolds(const QDir &dir, const QByteArray &bytes)
{
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden))
        if (contentsOf(dir.filePath(name)) == bytes)
            return true;
    return false;
}

// The store reports each damaged file on stderr; thousands a second would bury the fuzzer's own
// report, so it is silenced while the store works.
class QuietStderr {
public:
    QuietStderr() : m_saved(dup(STDERR_FILENO))
    {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        close(null);
    }
    ~QuietStderr()
    {
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
    }
    QuietStderr(const QuietStderr &) = delete;
    QuietStderr &operator=(const QuietStderr &) = delete;

private:
    int m_saved;
};

using ValueKey = std::pair<QString, QString>;
using Values = std::map<ValueKey, std::optional<QString>>;

Values readEverything(RegistryStore &store)
{
    Values values;
    for (const char *key : KeyPaths) {
        store.keyExists(Root, QLatin1String(key));
        for (const char *name : ValueNames) {
            const auto value = store.readValue(Root, QLatin1String(key), QLatin1String(name));
            values[{QLatin1String(key), QLatin1String(name)}] =
                value ? std::optional(value->data) : std::nullopt;
        }
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    check(folder().isValid(), Target, "no temporary folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = inputBytes(data, size);
    const QDir dir(folder().path());
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(name));
    {
        QFile file(dir.filePath(StoreFileName));
        check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), Target,
              "cannot write the store file");
    }

    Values before, after;
    bool keptInPlace = false, written = false;
    std::optional<RegistryValue> readBack;
    {
        QuietStderr quiet;
        const std::unique_ptr<RegistryStore> store = makeFileRegistryStore(dir.path());
        before = readEverything(*store);
        keptInPlace = QFile::exists(dir.filePath(StoreFileName)) &&
                      contentsOf(dir.filePath(StoreFileName)) == bytes;
        written = store->createKey(Root, SettingsKey) &&
                  store->writeValue(Root, SettingsKey, WrittenName,
                                    {RegistryValueType::String, QStringLiteral("1")});
        readBack = store->readValue(Root, SettingsKey, WrittenName);
        after = readEverything(*store);
    }

    check(folderHolds(dir, bytes) || keptInPlace, Target, "reading lost the store file");
    check(written, Target, "a write into a writable folder failed");
    check(readBack && readBack->data == QStringLiteral("1"), Target,
          "a written value does not read back");
    if (keptInPlace)
        check(before == after, Target, "a write changed a value it did not replace");
    else
        check(folderHolds(dir, bytes), Target, "the set-aside store file was lost");
    return 0;
}
