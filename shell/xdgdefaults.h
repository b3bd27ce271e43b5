// Which application the freedesktop files name as the default for a MIME type, looked up as the
// desktop's own tool (xdg-mime query default) does: the mimeapps.list files in the configuration
// and data folders, desktop-specific ones before the shared one in each folder, then the legacy
// defaults.list and mimeinfo.cache. A named entry counts only when it is installed: its desktop
// file is found and the program its Exec starts exists.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

struct XdgFolders {
    QString configHome;     // ~/.config
    QStringList configDirs; // /etc/xdg
    QString dataHome;       // ~/.local/share
    QStringList dataDirs;   // /usr/local/share, /usr/share
    QStringList desktops;   // the current desktop's names, most specific first, lower case
    QString menuPrefix;     // $XDG_MENU_PREFIX, for the legacy lists

    // From the XDG_* variables, with the freedesktop defaults for those unset or not absolute.
    static XdgFolders fromEnvironment();

    // The mimeapps.list files, the one that wins first, whether they exist or not.
    QStringList mimeAppsLists() const;
    // The user's own lists that rank above `configHome`/mimeapps.list: one per current desktop.
    QStringList userDesktopLists() const;
    // The desktop file with id `id` that wins (user's first); empty when there is none.
    QString findEntry(const QString &id) const;
    // The id the files name as the default for `mimeType`; empty when none is installed.
    QString defaultFor(const QString &mimeType) const;

private:
    QStringList applicationFolders() const;
    bool isInstalled(const QString &id) const;
};

// A key file's text: empty when there is no file; nothing when it is there but cannot be read
// whole or is far larger than such a file ever is, so that a rewrite never replaces what it could
// not read.
std::optional<QString> readKeyFile(const QString &path);

// The program an Exec command starts: its first argument, unquoted.
QString execProgram(const QString &command);
// The file of the program an Exec command starts: a bare name is looked up through the PATH.
// Empty when there is none or it cannot be run.
QString execProgramFile(const QString &command);
