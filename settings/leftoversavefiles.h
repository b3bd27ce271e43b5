// A save interrupted by a crash or a kill leaves its temporary file ("NAME.XXXXXX") beside the
// file it was to replace; nothing else removes it, so they would pile up run after run.
#pragma once

#include <QString>
#include <chrono>

// Removes the temporary files left beside `fileName` by interrupted saves. Only those older than
// `age` go: a younger one may belong to a save still under way in another process. For the
// program's own files only: the pattern is a guess at the save's random names.
void removeLeftoverSaveFiles(const QString &fileName,
                             std::chrono::seconds age = std::chrono::seconds(60));
