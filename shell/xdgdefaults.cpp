#include "xdgdefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include "keyfiletext.h"

namespace {

// The files read here are a few kilobytes; anything far larger is not one of them.
constexpr qint64 MaxKeyFileBytes = 1024 * 1024;

const QString DefaultsGroup = QStringLiteral("Default Applications");

QString absoluteFolder(const char *variable, const QString &fallback)
{
    const QString folder = qEnvironmentVariable(variable);
    return QDir::isAbsolutePath(folder) ? folder : fallback;
}

// Relative entries are not valid and are passed over.
QStringList absoluteFolders(const char *variable, const QStringList &fallback)
{
    QStringList folders;
    for (const QString &folder : qEnvironmentVariable(variable).split(QLatin1Char(':')))
        if (QDir::isAbsolutePath(folder))
            folders << folder;
    return folders.isEmpty() ? fallback : folders;
}

// The first application a list value names; the tool looks no further than the first.
QString firstListed(const QString &value)
{
    return value.section(QLatin1Char(';'), 0, 0).trimmed();
}

std::optional<QString> valueIn(const QString &path, const QString &group, const QString &key)
{
    const std::optional<QString> text = readKeyFile(path);
    return text ? KeyFileText::value(*text, group, key) : std::nullopt;
}

} // namespace

std::optional<QString> readKeyFile(const QString &path)
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

QString execProgram(const QString &command)
{
    const QString text = command.trimmed();
    if (!text.startsWith(QLatin1Char('"')))
        return text.section(QRegularExpression(QStringLiteral("[ \t]")), 0, 0);
    QString program;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"'))
            return program;
        if (c == QLatin1Char('\\') && i + 1 < text.size())
            program += text.at(++i);
        else
            program += c;
    }
    return QString(); // no closing quote: not a valid command
}

QString execProgramFile(const QString &command)
{
    const QString program = execProgram(command);
    if (program.isEmpty())
        return QString();
    if (!QDir::isAbsolutePath(program))
        return QStandardPaths::findExecutable(program);
    const QFileInfo file(program);
    return file.isFile() && file.isExecutable() ? program : QString();
}

XdgFolders XdgFolders::fromEnvironment()
{
    const QString home = QDir::homePath();
    XdgFolders folders;
    folders.configHome = absoluteFolder("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    folders.configDirs = absoluteFolders("XDG_CONFIG_DIRS", {QStringLiteral("/etc/xdg")});
    folders.dataHome = absoluteFolder("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    folders.dataDirs = absoluteFolders(
        "XDG_DATA_DIRS", {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")});
    for (const QString &desktop :
         qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders.desktops << desktop.toLower();
    folders.menuPrefix = qEnvironmentVariable("XDG_MENU_PREFIX");
    return folders;
}

QStringList XdgFolders::applicationFolders() const
{
    QStringList folders;
    for (const QString &data : QStringList{dataHome} + dataDirs)
        folders << data + QStringLiteral("/applications");
    return folders;
}

QStringList XdgFolders::mimeAppsLists() const
{
    QStringList lists;
    for (const QString &folder : QStringList{configHome} + configDirs + applicationFolders()) {
        for (const QString &desktop : desktops)
            lists << folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list");
        lists << folder + QStringLiteral("/mimeapps.list");
    }
    return lists;
}

QStringList XdgFolders::userDesktopLists() const
{
    QStringList lists;
    for (const QString &desktop : desktops)
        lists << configHome + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list");
    return lists;
}

QString XdgFolders::findEntry(const QString &id) const
{
    if (id.isEmpty() || id.contains(QLatin1Char('/')))
        return QString();
    for (const QString &folder : applicationFolders()) {
        // An entry in a subfolder has the folder's name and a dash before its own in its id.
        QStringList candidates{id};
        for (qsizetype dash = id.indexOf(QLatin1Char('-')); dash > 0;
             dash = id.indexOf(QLatin1Char('-'), dash + 1))
            candidates << id.left(dash) + QLatin1Char('/') + id.mid(dash + 1);
        for (const QString &candidate : candidates) {
            const QString path = folder + QLatin1Char('/') + candidate;
            if (QFileInfo(path).isFile())
                return path;
        }
    }
    return QString();
}

bool XdgFolders::isInstalled(const QString &id) const
{
    const QString entry = findEntry(id);
    if (entry.isEmpty())
        return false;
    return !execProgramFile(valueIn(entry, QStringLiteral("Desktop Entry"), QStringLiteral("Exec"))
                                .value_or(QString()))
                .isEmpty();
}

QString XdgFolders::defaultFor(const QString &mimeType) const
{
    for (const QString &list : mimeAppsLists()) {
        const QString first =
            firstListed(valueIn(list, DefaultsGroup, mimeType).value_or(QString()));
        if (!first.isEmpty() && isInstalled(first))
            return first;
    }
    // The legacy lists, taken as they are: the first one that names the type decides.
    const QStringList prefixes =
        menuPrefix.isEmpty() ? QStringList{QString()} : QStringList{menuPrefix, QString()};
    for (const QString &folder : applicationFolders()) {
        for (const QString &prefix : prefixes) {
            const std::pair<QString, QString> legacy[] = {
                {QStringLiteral("defaults.list"), DefaultsGroup},
                {QStringLiteral("mimeinfo.cache"), QStringLiteral("MIME Cache")}};
            for (const auto &[name, group] : legacy) {
                const std::optional<QString> value =
                    valueIn(folder + QLatin1Char('/') + prefix + name, group, mimeType);
                if (value && !firstListed(*value).isEmpty())
                    return firstListed(*value);
                if (value)
                    break;
            }
        }
    }
    return QString();
}
