#include "leftoversavefiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

void removeLeftoverSaveFiles(const QString &fileName, std::chrono::seconds age)
{
    const QFileInfo target(fileName);
    const QDir folder = target.absoluteDir();
    // The save's own template: the name, a dot and six letters or digits.
    const QRegularExpression temporary(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(target.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-age.count());
    const QFileInfoList candidates =
        folder.entryInfoList({target.fileName() + QStringLiteral(".??????")},
                             QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &file : candidates)
        if (temporary.match(file.fileName()).hasMatch() && file.lastModified() < before)
            QFile::remove(file.absoluteFilePath());
}
