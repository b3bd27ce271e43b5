// Playlist files come from anywhere. Splits any bytes into lines and keeps the non-blank ones,
// checking the line rules on the way: no line holds a line end, CR LF and CR read as LF, nothing
// after 0x1A counts, the kept lines are the non-blank ones in their order, and writing a kept
// line again gives it back or leaves it out.
#include <QStringList>

#include "fuzzinput.h"
#include "playlistfile.h"

namespace {

constexpr const char *Target = "fuzz_playlist_file";

bool isBlank(const QString &line)
{
    for (QChar c : line)
        if (c.unicode() > 32)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = inputBytes(data, size);
    const QStringList lines = PlaylistFile::splitLines(bytes);

    const qsizetype end = bytes.indexOf('\x1a');
    const QByteArray counted = end < 0 ? bytes : bytes.left(end);
    check(lines.size() <= counted.count('\r') + counted.count('\n') + 1, Target,
          "more lines than line ends");
    for (const QString &line : lines)
        check(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')), Target,
              "a line holds a line end");
    if (end >= 0)
        check(PlaylistFile::splitLines(counted) == lines, Target, "bytes after 0x1A count");
    QByteArray unixLines = counted;
    unixLines.replace("\r\n", "\n").replace('\r', '\n');
    check(PlaylistFile::splitLines(unixLines) == lines, Target,
          "CR LF or CR reads differently from LF");

    const QStringList kept = PlaylistFile::nonBlankLines(lines);
    qsizetype next = 0;
    for (const QString &line : lines)
        if (!isBlank(line))
            check(next < kept.size() && kept[next++] == line, Target,
                  "a non-blank line is not kept in its place");
    check(next == kept.size(), Target, "a blank line is kept");

    // Written again, a line reads back as itself or is left out.
    for (const QString &line : kept) {
        const QString written = PlaylistFile::lineFor(line, QStringLiteral("/"));
        const QStringList back = PlaylistFile::splitLines(PlaylistFile::contents({line}, "/"));
        check(back == (PlaylistFile::fitsOnALine(written) ? QStringList{written} : QStringList()),
              Target, "a written line reads back as something else");
    }
    return 0;
}
