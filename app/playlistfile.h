// Playlist files (".m3u", ".m3u8" and "loaded.lpl"): one path per line, CR LF, no header. Written
// in the locale's 8-bit text; read as UTF-8, or as Latin-1 when an ".m3u" from another program
// is not valid UTF-8.
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

// How a file's bytes become text: UTF-8 when they are valid UTF-8, else Latin-1; or always UTF-8
// (".m3u8"), where what is not valid reads as U+FFFD.
enum class Encoding { Utf8OrLatin1, Utf8 };
// Lines as read: CR, CR LF and a lone LF end a line; 0x1A or the end of the data ends the input.
QStringList splitLines(const QByteArray &data, Encoding encoding = Encoding::Utf8OrLatin1);
// Playlist files are read whole; a larger one is refused. A list of 100,000 songs takes about
// 6 MB.
constexpr qint64 MaxFileBytes = 32 * 1024 * 1024;
// The lines of a file, with the encoding its extension asks for; throws std::runtime_error when it
// cannot be read or is larger than MaxFileBytes.
QStringList readLines(const QString &fileName);
// The lines as song paths: a relative path is taken from the playlist's own folder and a
// "file://" URL becomes its path. Blank lines, comments ("#..."), other URLs and drive paths
// ("C:\...") stay as they are.
QStringList resolvedFrom(QStringList lines, const QString &playlistFolder);
// The lines "loaded.lpl" contributes: those that are not blank, as read (untrimmed).
QStringList nonBlankLines(QStringList lines);

} // namespace PlaylistFile
