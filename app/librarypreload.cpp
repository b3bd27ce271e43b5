#include "librarypreload.h"

#include <QFile>
#include <dlfcn.h>

LibraryPreload::LibraryPreload(const QString &fileName)
    : m_thread([this, name = QFile::encodeName(fileName)] {
          m_handle = dlopen(name.constData(), RTLD_LAZY);
      })
{
}

// Our reference goes; the library stays loaded as long as its real user holds it.
LibraryPreload::~LibraryPreload()
{
    m_thread.join();
    if (m_handle)
        dlclose(m_handle);
}
