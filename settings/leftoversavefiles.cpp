#include "leftoversavefiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

void removeLeftoverSaveFiles(const QString &fileName, std::chrono::seconds age)
{
    const QFileInfo target(fileName);
    // The save's own template: the name, a dot and six random letters, which nearly always mix
    // cases; a name of the user's ("loaded.lpl.backup", "x.json.old123") does not look like it.
    const QRegularExpression temporary(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(target.fileName()) +
        QStringLiteral("\\.(?=[A-Za-z]*[a-z])(?=[A-Za-z]*[A-Z])[A-Za-z]{6}")));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-age.count());
    const QFileInfoList candidates =
        target.absoluteDir().entryInfoList({target.fileName() + QStringLiteral(".??????")},
                                           QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &file : candidates)
        if (temporary.match(file.fileName()).hasMatch() && file.lastModified() < before)
            QFile::remove(file.absoluteFilePath());
}
