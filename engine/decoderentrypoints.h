// The decoder library's 41 entry points as the player binds them, in binding order.
#pragma once

#include <QLibrary>
#include <QString>

#include "norlplay.h"

struct DecoderEntryPoints {
#define NP_ENTRY_FIELD(ret, name, args) name##Proc name = nullptr;
    NP_ENTRY_POINTS(NP_ENTRY_FIELD)
#undef NP_ENTRY_FIELD

    // Resolves the names in order and stops at the first one the library lacks, naming it in
    // `missing`. Entries resolved before it stay set.
    bool resolve(QLibrary &library, QString *missing);
};
