// Playlist files (".m3u" and "loaded.lpl"): one path per line, CR LF, no header, the locale's
// 8-bit text.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace PlaylistFile {

// The line written for a path: unchanged when absolute or holding a colon, else the current
// folder + "/" + the path (so "/" + "/" + path at the root).
QString lineFor(QStringView path, const QString &currentFolder);
// Whether `line` reads back from a playlist file as the same text: it holds no line end and no
// end-of-input byte, and it is valid text (a name that was not holds U+FFFD where it was not).
bool fitsOnALine(const QString &line);
// The file's bytes for these paths, every line ending in CR LF. A line that would read back as
// something else is left out.
QByteArray contents(const QList<QStringView> &paths, const QString &currentFolder);
// Writes through a temporary file renamed into place: a failure never leaves a half-written
// list where a good one was. Throws std::runtime_error with the reason on failure.
void write(const QString &fileName, const QList<QStringView> &paths, const QString &currentFolder);

// Lines as read: CR, CR LF and a lone LF end a line; 0x1A or the end of the data ends the input.
QStringList splitLines(const QByteArray &data);
// Playlist files are read whole; a larger one is refused. A list of 100,000 songs takes about
// 6 MB.
constexpr qint64 MaxFileBytes = 32 * 1024 * 1024;
// The lines of a file; throws std::runtime_error when it cannot be read or is larger than
// MaxFileBytes.
QStringList readLines(const QString &fileName);
// The lines "loaded.lpl" contributes: those that are not blank, as read (untrimmed).
QStringList nonBlankLines(QStringList lines);

} // namespace PlaylistFile
