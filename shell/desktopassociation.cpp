#include "desktopassociation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>

#include "keyfiletext.h"

namespace {

const QString DefaultsGroup = QStringLiteral("Default Applications");
const QString EntryGroup = QStringLiteral("Desktop Entry");
// Both files are a few lines long; anything larger is not one of them.
constexpr qint64 MaxKeyFileBytes = 1024 * 1024;

// The file's text: empty when there is no file; nothing when it is there but cannot be read
// whole, so that a rewrite never replaces what it could not read.
std::optional<QString> readText(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return QString();
    if (file.size() > MaxKeyFileBytes || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(MaxKeyFileBytes + 1);
    if (bytes.size() > MaxKeyFileBytes || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return QString::fromUtf8(bytes);
}

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

XdgDesktopAssociation::XdgDesktopAssociation(const QString &applicationsFolder,
                                             const QString &configFolder)
    : m_applicationsFolder(applicationsFolder), m_configFolder(configFolder)
{
}

QString XdgDesktopAssociation::entryPath() const
{
    return QDir(m_applicationsFolder).filePath(EntryName);
}

QString XdgDesktopAssociation::mimeAppsPath() const
{
    return QDir(m_configFolder).filePath(QStringLiteral("mimeapps.list"));
}

QString XdgDesktopAssociation::readCommand()
{
    return KeyFileText::value(readText(entryPath()).value_or(QString()), EntryGroup,
                              QStringLiteral("Exec"))
        .value_or(QString());
}

QString XdgDesktopAssociation::readDefault(const QString &mimeType)
{
    const std::optional<QString> entries =
        KeyFileText::value(readText(mimeAppsPath()).value_or(QString()), DefaultsGroup, mimeType);
    if (!entries)
        return QString();
    return entries->split(QLatin1Char(';'), Qt::SkipEmptyParts).value(0);
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
    const std::optional<QString> text = readText(mimeAppsPath());
    return !mimeType.isEmpty() && text &&
           writeText(mimeAppsPath(),
                     KeyFileText::withValue(*text, DefaultsGroup, mimeType, EntryName));
}

std::unique_ptr<DesktopAssociation> makeUserDesktopAssociation()
{
    return std::make_unique<XdgDesktopAssociation>(
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
            .filePath(QStringLiteral("applications")),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}
