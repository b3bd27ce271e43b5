// Playlist entries: "title,path" strings, one per song, and the rows the list shows for them.
#pragma once

#include <QString>
#include <QStringList>

namespace SongEntries {

// The text before the first dot of the path's file name (after its last "/"); empty when the
// name has no dot.
QString titleOf(const QString &path);
// title + "," + path. A title holding a comma is cut there, so that splitting the entry at its
// first comma always gives back the whole path.
QString makeEntry(const QString &path);
QString titleOfEntry(const QString &entry);
QString pathOfEntry(const QString &entry);
// The same as a view into `entry`, valid while the entry is.
QStringView pathViewOfEntry(const QString &entry);
// "3.- Title" when numbered (row 2), else the title.
QString rowText(int row, const QString &title, bool numbered);
// Ascending, with the user's locale collation, ignoring case; equal entries keep their order.
void sortEntries(QStringList &entries);
// Inserts into sorted entries where sortEntries would put it after appending it.
void insertSorted(QStringList &entries, const QString &entry);

} // namespace SongEntries
