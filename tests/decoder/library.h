// The decoder library as a host sees it: loaded with dlopen, its 41 entry points resolved by
// name, never linked.
#pragma once

#include <QString>
#include <QStringList>

#include "norlplay.h"

struct NorlplayLibrary {
#define NP_ENTRY_FIELD(ret, name, args) name##Proc name = nullptr;
    NP_ENTRY_POINTS(NP_ENTRY_FIELD)
#undef NP_ENTRY_FIELD

    // Loads the built library; on failure every pointer stays null and error() says why.
    NorlplayLibrary();
    ~NorlplayLibrary();
    NorlplayLibrary(const NorlplayLibrary &) = delete;
    NorlplayLibrary &operator=(const NorlplayLibrary &) = delete;

    bool loaded() const
    {
        return m_module != nullptr && m_error.isEmpty();
    }
    QString error() const
    {
        return m_error;
    }
    // The names of the entry points in binding order.
    static QStringList entryNames();

private:
    void *m_module = nullptr;
    QString m_error;
};

// A fixture's full path.
QString fixture(const QString &name);
