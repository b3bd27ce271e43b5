// TIniOut binds component properties of a form to named registry values, declared as item
// lines: "Component;Property;Default;Key path;Value name;1;Load-only". LoadFromRegistry gives
// every bound property its stored value (or the default); SaveToRegistry writes them back.
// Neither ever fails as a whole: a bad item is skipped.
#pragma once

#include <QObject>
#include <QStringList>

#include "registrystore.h"

class TIniOut : public QObject {
    Q_OBJECT
public:
    enum TRegRoots {
        CLASSES_ROOT,
        CURRENT_USER,
        LOCAL_MACHINE,
        USERS,
        PERFORMANCE_DATA,
        CURRENT_CONFIG,
        DYN_DATA
    };
    Q_ENUM(TRegRoots)

private:
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(TRegRoots RegistryRoot READ RegistryRoot WRITE SetRegistryRoot)

public:
    // The owner is the form whose components the items name.
    TIniOut(QObject *form, RegistryStore &store);

    QString FileName() const { return m_FileName; }
    // Stores the name with its extension replaced by ".INI", in upper case.
    void SetFileName(const QString &value);
    QStringList Items() const { return m_Items; }
    void SetItems(const QStringList &value) { m_Items = value; }
    TRegRoots RegistryRoot() const { return m_RegistryRoot; }
    void SetRegistryRoot(TRegRoots value) { m_RegistryRoot = value; }

    void LoadFromRegistry();
    void SaveToRegistry();

    // Field `number` (from 1) of an item line, trimmed of characters up to code 32.
    static QString ExtractField(const QString &line, int number);
    // A line with any of the component, property, key or value name fields.
    static bool IsItemLine(const QString &line);

private:
    QObject *resolveComponent(const QString &name) const;

    QObject *m_form;
    RegistryStore &m_store;
    QString m_FileName;
    QStringList m_Items;
    TRegRoots m_RegistryRoot = CURRENT_USER;
};
