// A hierarchical store of named text values, the way settings are kept: roots, key paths with
// backslashes, value names, and a value type. On Linux each root is one file in the user's
// configuration folder.
#pragma once

#include <QString>
#include <memory>
#include <optional>

enum class RegistryRoot {
    ClassesRoot,
    CurrentUser,
    LocalMachine,
    Users,
    PerformanceData,
    CurrentConfig,
    DynData
};

enum class RegistryValueType { String, ExpandableString, Other };

struct RegistryValue {
    RegistryValueType type = RegistryValueType::String;
    QString data;
};

class RegistryStore {
public:
    virtual ~RegistryStore() = default;

    // Key paths are relative to the root, separated by backslashes, compared without regard
    // to case, as are value names.
    virtual bool keyExists(RegistryRoot root, const QString &keyPath) = 0;
    // Creates the key and every missing key on the way; false when it cannot.
    virtual bool createKey(RegistryRoot root, const QString &keyPath) = 0;
    virtual std::optional<RegistryValue> readValue(RegistryRoot root, const QString &keyPath,
                                                   const QString &name) = 0;
    // Writes into an existing key, replacing a value of any type; false when it cannot.
    virtual bool writeValue(RegistryRoot root, const QString &keyPath, const QString &name,
                            const RegistryValue &value) = 0;

    // Between the two, changes are held and then written once per root: saving many values
    // waits on the disk once. Batches nest; endBatch answers whether the held changes were saved.
    virtual void beginBatch() {}
    virtual bool endBatch() { return true; }
};

// A batch for the lifetime of the object.
class RegistryBatch {
public:
    explicit RegistryBatch(RegistryStore &store) : m_store(store) { m_store.beginBatch(); }
    ~RegistryBatch() { m_store.endBatch(); }
    RegistryBatch(const RegistryBatch &) = delete;
    RegistryBatch &operator=(const RegistryBatch &) = delete;

private:
    RegistryStore &m_store;
};

// One JSON file per root in `folder`, rewritten atomically on every change (or once at the end
// of a batch). A damaged or
// foreign file reads as empty; it is moved aside (never lost) on the first write.
std::unique_ptr<RegistryStore> makeFileRegistryStore(const QString &folder);
// The user's store: <configuration folder>/NorlPlayer/registry.
QString defaultRegistryFolder();
