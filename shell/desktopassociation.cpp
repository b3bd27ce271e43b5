#include "desktopassociation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>

#include "keyfiletext.h"
#include "xdgdefaults.h"

namespace {

const QString DefaultsGroup = QStringLiteral("Default Applications");
const QString EntryGroup = QStringLiteral("Desktop Entry");

bool writeText(const QString &path, const QString &text)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// One argument of an Exec command: quoted when it holds a character the format reserves, with
// the quoting escapes inside the quotes; a literal percent sign is always doubled.
QString execArgument(const QString &argument)
{
    static const QString Reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    static const QString EscapedInQuotes = QStringLiteral("\"`$\\");
    const bool quote = std::any_of(argument.cbegin(), argument.cend(),
                                   [](QChar c) { return Reserved.contains(c); });
    QString result;
    for (QChar c : argument) {
        if (c == QLatin1Char('%'))
            result += QLatin1Char('%');
        else if (quote && EscapedInQuotes.contains(c))
            result += QLatin1Char('\\');
        result += c;
    }
    return quote ? QLatin1Char('"') + result + QLatin1Char('"') : result;
}

} // namespace

const QString DesktopAssociation::EntryName = QStringLiteral("norlplayer.desktop");

QString DesktopAssociation::commandFor(const QString &exePath)
{
    return execArgument(exePath) + QStringLiteral(" %f");
}

bool DesktopAssociation::holds(const QString &command, const QString &defaultEntry,
                               const QString &exePath)
{
    return command == commandFor(exePath) && defaultEntry == EntryName;
}

bool DesktopAssociation::isAssociated(const QString &exePath, const QString &mimeType)
{
    const QString command = readCommand();
    const QString defaultEntry = readDefault(mimeType);
    return holds(command, defaultEntry, exePath) ||
           (defaultEntry == EntryName && installedEntryRuns(exePath));
}

QString mimeTypeForExtension(const QString &ext)
{
    // The one the program asks for does not depend on the system's MIME database.
    if (ext == QLatin1String("mp3"))
        return QStringLiteral("audio/mpeg");
    if (ext.isEmpty())
        return QString();
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("file.") + ext,
                                                           QMimeDatabase::MatchExtension);
    return type.isDefault() ? QString() : type.name();
}

AssociationWriteError::AssociationWriteError(const QString &valueName)
    : std::runtime_error(
          (QStringLiteral("Failed to set data for '") + valueName + QLatin1Char('\''))
              .toLocal8Bit()
              .toStdString())
{
}

XdgDesktopAssociation::XdgDesktopAssociation(XdgFolders folders) : m_folders(std::move(folders)) {}

QString XdgDesktopAssociation::entryPath() const
{
    return m_folders.dataHome + QStringLiteral("/applications/") + EntryName;
}

QString XdgDesktopAssociation::mimeAppsPath() const
{
    return m_folders.configHome + QStringLiteral("/mimeapps.list");
}

QString XdgDesktopAssociation::readCommand()
{
    const QString entry = m_folders.findEntry(EntryName);
    if (entry.isEmpty())
        return QString();
    return KeyFileText::value(readKeyFile(entry).value_or(QString()), EntryGroup,
                              QStringLiteral("Exec"))
        .value_or(QString());
}

QString XdgDesktopAssociation::readDefault(const QString &mimeType)
{
    return m_folders.defaultFor(mimeType);
}

bool XdgDesktopAssociation::installedEntryRuns(const QString &exePath)
{
    const QString entry = m_folders.findEntry(EntryName);
    if (entry.isEmpty() || entry == entryPath())
        return false;
    const QString target = QFileInfo(execProgramFile(readCommand())).canonicalFilePath();
    return !target.isEmpty() && target == QFileInfo(exePath).canonicalFilePath();
}

QString XdgDesktopAssociation::entryText(const QString &exePath, const QString &mimeType)
{
    const QString icon =
        QFileInfo(exePath).absoluteDir().filePath(QStringLiteral("norlplayer.svg"));
    // Concatenated rather than formatted: the command holds percent signs of its own.
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=NorlPlayer\n") +
           QStringLiteral("Exec=") + KeyFileText::escaped(commandFor(exePath)) +
           QStringLiteral("\nMimeType=") + mimeType + QStringLiteral(";\nIcon=") +
           KeyFileText::escaped(icon) +
           QStringLiteral("\nTerminal=false\nCategories=AudioVideo;Audio;Player;\n");
}

bool XdgDesktopAssociation::writeEntry(const QString &exePath, const QString &mimeType)
{
    return !mimeType.isEmpty() && writeText(entryPath(), entryText(exePath, mimeType));
}

bool XdgDesktopAssociation::writeDefault(const QString &mimeType)
{
    if (mimeType.isEmpty())
        return false;
    const auto setDefaultIn = [&](const QString &path) {
        const std::optional<QString> text = readKeyFile(path);
        return text &&
               writeText(path, KeyFileText::withValue(*text, DefaultsGroup, mimeType, EntryName));
    };
    if (!setDefaultIn(mimeAppsPath()))
        return false;
    // The user's list for the current desktop is read before the shared one: where it names a
    // default of its own, that one would win.
    for (const QString &list : m_folders.userDesktopLists()) {
        const std::optional<QString> text = readKeyFile(list);
        if (text && KeyFileText::value(*text, DefaultsGroup, mimeType) && !setDefaultIn(list))
            return false;
    }
    return true;
}

std::unique_ptr<DesktopAssociation> makeUserDesktopAssociation()
{
    return std::make_unique<XdgDesktopAssociation>(XdgFolders::fromEnvironment());
}
