#include "ownfiles.h"

#include <QDir>
#include <QFileInfo>

bool mayWriteBesideProgram(const QString &folder, const QString &programFolder)
{
    if (!QFileInfo(folder).isWritable())
        return false;
    const QDir program(programFolder);
    if (!program.exists(QLatin1String(InstalledMarkName)))
        return true;
    const QString inside = QFileInfo(folder).canonicalFilePath();
    const QString installed = program.canonicalPath();
    return inside != installed && !inside.startsWith(installed + QLatin1Char('/'));
}
