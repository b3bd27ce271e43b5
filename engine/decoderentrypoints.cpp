#include "decoderentrypoints.h"

bool DecoderEntryPoints::resolve(QLibrary &library, QString *missing)
{
#define NP_ENTRY_RESOLVE(ret, name, args)                                                          \
    name = reinterpret_cast<name##Proc>(library.resolve(#name));                                   \
    if (!name) {                                                                                   \
        if (missing)                                                                               \
            *missing = QStringLiteral(#name);                                                      \
        return false;                                                                              \
    }
    NP_ENTRY_POINTS(NP_ENTRY_RESOLVE)
#undef NP_ENTRY_RESOLVE
    return true;
}
