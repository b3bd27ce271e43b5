// Where the program may write the files it keeps for itself (the last playlist, a skin's window
// shape): beside itself in a build tree or a copy the user put somewhere, never inside an
// installed copy, which stays as its package left it also when root runs it.
#pragma once

#include <QString>

// The file beside the program that marks an installed copy.
inline constexpr char InstalledMarkName[] = "norlplayer.installed";

// Whether the program in `programFolder` may write its own files into `folder`: the folder can be
// written and it is neither the folder of an installed copy nor inside it.
bool mayWriteBesideProgram(const QString &folder, const QString &programFolder);
