// The desktop's file association. The program is associated with a file type when the default
// application for the type's MIME type is the program's desktop entry, and that entry's command
// runs this very program file: the user's own entry carries exactly the command written for it,
// an entry installed with the program (outside the user's folders) may run it through the PATH
// or a link. On Linux both live in freedesktop files; the program writes the user's:
//   <applications folder>/norlplayer.desktop   the entry: name, command, icon, MIME types
//   <configuration folder>/mimeapps.list        [Default Applications]
//   audio/mpeg=norlplayer.desktop
#pragma once

#include <QString>
#include <memory>
#include <stdexcept>

#include "xdgdefaults.h"

class DesktopAssociation {
public:
    virtual ~DesktopAssociation() = default;

    // The command of the program's desktop entry, unescaped; empty when there is no entry.
    virtual QString readCommand() = 0;
    // The desktop entry that is the default for `mimeType`; empty when none.
    virtual QString readDefault(const QString &mimeType) = 0;
    // Writes the program's desktop entry for the program file `exePath`, opening `mimeType`.
    // False when it cannot be written; an entry that was there then stays as it was.
    virtual bool writeEntry(const QString &exePath, const QString &mimeType) = 0;
    // Makes the program's entry the default for `mimeType`, keeping every other default and
    // section. False when it cannot be written.
    virtual bool writeDefault(const QString &mimeType) = 0;
    // Whether the program's entry that wins was installed with the program rather than written
    // for the user, and its command runs `exePath` (through the PATH, links followed).
    virtual bool installedEntryRuns(const QString &exePath) = 0;

    // The association test: the default for `mimeType` is the program's entry, and that entry
    // runs `exePath`.
    bool isAssociated(const QString &exePath, const QString &mimeType);

    // The file name of the program's entry, which is also its desktop id.
    static const QString EntryName;
    // The command an entry for `exePath` carries: the path, quoted and escaped as the desktop
    // entry format requires when it holds reserved characters, then " %f".
    static QString commandFor(const QString &exePath);
    // The test for the user's own entry, on values already read: it runs exactly `exePath` and
    // it is the default. Exact texts: a command differing in case or quoting fails.
    static bool holds(const QString &command, const QString &defaultEntry, const QString &exePath);
};

// The MIME type files with extension `ext` (no dot, lower case) have; empty when unknown.
QString mimeTypeForExtension(const QString &ext);

// An association write that failed; the message names the value that could not be set.
class AssociationWriteError : public std::runtime_error {
public:
    explicit AssociationWriteError(const QString &valueName);
};

// The freedesktop files: the program's entry among the user's applications, and the defaults
// looked up in the order the desktop's own tool uses. The default is written to the user's
// mimeapps.list, and also to the user's list for the current desktop when that one names a
// default for the type, since it is read first.
class XdgDesktopAssociation : public DesktopAssociation {
public:
    explicit XdgDesktopAssociation(XdgFolders folders);

    QString readCommand() override;
    QString readDefault(const QString &mimeType) override;
    bool writeEntry(const QString &exePath, const QString &mimeType) override;
    bool writeDefault(const QString &mimeType) override;
    bool installedEntryRuns(const QString &exePath) override;

    QString entryPath() const;
    QString mimeAppsPath() const;
    // The whole text of the entry for `exePath`; its icon is norlplayer.svg beside the program.
    static QString entryText(const QString &exePath, const QString &mimeType);

private:
    XdgFolders m_folders;
};

// The current user's association, in the folders the XDG_* variables name.
std::unique_ptr<DesktopAssociation> makeUserDesktopAssociation();
