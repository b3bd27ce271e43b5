// The song list: one entry ("title,path") per song and the row text shown for each, with the
// options that shape them (sorting as songs arrive, numbered rows). Rows are rebuilt from the
// entries only when asked, so a list keeps its numbering until the next add.
#pragma once

#include <QObject>
#include <QStringList>

class SongList : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool sortOnLoad READ sortOnLoad WRITE setSortOnLoad)
    Q_PROPERTY(bool numbered READ numbered WRITE setNumbered)

public:
    explicit SongList(QObject *parent = nullptr);

    bool sortOnLoad() const { return m_sortOnLoad; }
    void setSortOnLoad(bool on) { m_sortOnLoad = on; }
    bool numbered() const { return m_numbered; }
    void setNumbered(bool on) { m_numbered = on; }

    const QStringList &entries() const { return m_entries; }
    const QStringList &rows() const { return m_rows; }
    int rowCount() const { return int(m_rows.size()); }
    // Empty for a row that does not exist.
    QString rowText(int row) const { return m_rows.value(row); }
    QString pathAt(int row) const;
    // The row whose entry is `path`'s, -1 when none is.
    int rowOfPath(const QString &path) const;

    // Adds one song where sorting puts it; throws std::runtime_error for a path a playlist file
    // cannot keep.
    void add(const QString &path);
    // Adds several as add() does one by one, sorting once at the end. Paths a playlist file
    // cannot keep are left out and returned.
    QStringList addAll(QStringList paths);
    // Files chosen by the user, by their extensions: songs, playlists read line by line (blank
    // lines too), nothing for the rest. Returns the names it refused.
    QStringList addChosenFiles(const QStringList &fileNames);
    // The songs files handed over name: a playlist's (".m3u", ".m3u8") in its order, without its
    // blank and comment lines; any other file as it is. Throws std::runtime_error for a playlist
    // that cannot be read.
    static QStringList songsIn(const QStringList &fileNames);
    // Adds the non-blank lines of a playlist file. Returns the names it refused.
    QStringList readPlaylist(const QString &fileName);
    void writePlaylist(const QString &fileName, const QString &currentFolder) const;

    // Replaces the rows with one per entry, so that rows and entries never drift apart.
    void rebuildRows();
    // Removes the row and its entry; throws std::out_of_range for a row that does not exist.
    void removeRow(int row);
    void clear();

    // Throws std::runtime_error naming the refused names, if there are any.
    static void throwIfRefused(const QStringList &names);

signals:
    // The rows were replaced (rebuilt or cleared).
    void rowsReset();
    void rowRemoved(int row);

private:
    QStringList m_entries;
    QStringList m_rows;
    bool m_entriesSorted = true; // lets a sorted add insert in place instead of re-sorting
    bool m_sortOnLoad = false;
    bool m_numbered = false;
};
