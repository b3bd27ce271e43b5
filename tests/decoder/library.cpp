#include "library.h"

#include <dlfcn.h>

NorlplayLibrary::NorlplayLibrary()
{
    m_module = dlopen(NORL_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!m_module) {
        m_error = QString::fromLocal8Bit(dlerror());
        return;
    }
#define NP_ENTRY_RESOLVE(ret, name, args)                                                          \
    name = reinterpret_cast<name##Proc>(dlsym(m_module, #name));                                   \
    if (!name && m_error.isEmpty())                                                                \
        m_error = QStringLiteral("missing entry point " #name);
    NP_ENTRY_POINTS(NP_ENTRY_RESOLVE)
#undef NP_ENTRY_RESOLVE
}

NorlplayLibrary::~NorlplayLibrary()
{
    if (m_module)
        dlclose(m_module);
}

QStringList NorlplayLibrary::entryNames()
{
    QStringList names;
#define NP_ENTRY_NAME(ret, name, args) names << QStringLiteral(#name);
    NP_ENTRY_POINTS(NP_ENTRY_NAME)
#undef NP_ENTRY_NAME
    return names;
}

QString fixture(const QString &name)
{
    return QStringLiteral(NORL_FIXTURES_DIR "/") + name;
}
