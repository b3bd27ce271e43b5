#include "songlist.h"

#include <QFileInfo>
#include <stdexcept>

#include "playlistfile.h"
#include "songentries.h"

namespace {

// The file name's extension in capitals with its dot; empty when it has none.
QString extensionOf(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toUpper();
}

bool isPlaylistFile(const QString &fileName)
{
    const QString extension = extensionOf(fileName);
    return extension == QLatin1String(".M3U") || extension == QLatin1String(".M3U8");
}

QStringList linesOfPlaylist(const QString &fileName)
{
    return PlaylistFile::resolvedFrom(PlaylistFile::readLines(fileName),
                                      QFileInfo(fileName).absolutePath());
}

} // namespace

SongList::SongList(QObject *parent) : QObject(parent) {}

QString SongList::pathAt(int row) const
{
    return SongEntries::pathOfEntry(m_entries.value(row));
}

int SongList::rowOfPath(const QString &path) const
{
    return int(m_entries.indexOf(SongEntries::makeEntry(path)));
}

void SongList::add(const QString &path)
{
    if (!PlaylistFile::fitsOnALine(path))
        throwIfRefused({path});
    const QString entry = SongEntries::makeEntry(path);
    if (!m_sortOnLoad) {
        m_entries.append(entry);
        m_entriesSorted = false;
    } else if (m_entriesSorted) {
        SongEntries::insertSorted(m_entries, entry);
    } else {
        m_entries.append(entry);
        SongEntries::sortEntries(m_entries);
        m_entriesSorted = true;
    }
}

QStringList SongList::addAll(QStringList paths)
{
    QStringList refused;
    const qsizetype before = m_entries.size();
    m_entries.reserve(before + paths.size());
    // Sorting once after all of them gives the order that sorting after each one would.
    for (QString &path : paths) {
        if (PlaylistFile::fitsOnALine(path))
            m_entries.append(SongEntries::makeEntry(path));
        else
            refused << path;
        path = QString(); // a long list's lines go as their entries come
    }
    // Adding nothing keeps the present order, even when sorting was switched on since.
    if (m_entries.size() > before) {
        if (m_sortOnLoad)
            SongEntries::sortEntries(m_entries);
        m_entriesSorted = m_sortOnLoad;
    }
    return refused;
}

QStringList SongList::addChosenFiles(const QStringList &fileNames)
{
    QStringList refused;
    for (const QString &fileName : fileNames) {
        if (extensionOf(fileName) == QLatin1String(".MP3"))
            refused += addAll({fileName});
        else if (isPlaylistFile(fileName))
            refused += addAll(linesOfPlaylist(fileName));
    }
    return refused;
}

QStringList SongList::songsIn(const QStringList &fileNames)
{
    QStringList songs;
    for (const QString &fileName : fileNames) {
        if (!isPlaylistFile(fileName)) {
            songs << fileName;
            continue;
        }
        for (const QString &line : PlaylistFile::nonBlankLines(linesOfPlaylist(fileName)))
            if (!line.startsWith(QLatin1Char('#')))
                songs << line;
    }
    return songs;
}

QStringList SongList::readPlaylist(const QString &fileName)
{
    return addAll(PlaylistFile::nonBlankLines(linesOfPlaylist(fileName)));
}

void SongList::writePlaylist(const QString &fileName, const QString &currentFolder) const
{
    QList<QStringView> paths;
    paths.reserve(m_entries.size());
    for (const QString &entry : m_entries)
        paths << SongEntries::pathViewOfEntry(entry);
    PlaylistFile::write(fileName, paths, currentFolder);
}

void SongList::rebuildRows()
{
    QStringList rows;
    rows.reserve(m_entries.size());
    for (qsizetype i = 0; i < m_entries.size(); ++i)
        rows << SongEntries::rowText(int(i), SongEntries::titleOfEntry(m_entries.at(i)),
                                     m_numbered);
    m_rows = std::move(rows);
    emit rowsReset();
}

void SongList::removeRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        throw std::out_of_range(
            QStringLiteral("List index out of bounds (%1)").arg(row).toStdString());
    if (row < m_entries.size())
        m_entries.removeAt(row);
    m_rows.removeAt(row);
    emit rowRemoved(row);
}

void SongList::clear()
{
    m_entries.clear();
    m_rows.clear();
    emit rowsReset();
}

void SongList::throwIfRefused(const QStringList &names)
{
    if (names.isEmpty())
        return;
    QStringList shown;
    for (QString name : names)
        shown << name.replace(u'\r', QStringLiteral("\\r"))
                     .replace(u'\n', QStringLiteral("\\n"))
                     .replace(u'\x1a', QStringLiteral("\\x1a"));
    throw std::runtime_error(QStringLiteral("Not added: a playlist cannot keep a name that holds a "
                                            "line break or bytes that are not text.\n\n%1")
                                 .arg(shown.join(u'\n'))
                                 .toStdString());
}
