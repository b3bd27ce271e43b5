// The song list and playlist files of the main window: entries and rows, the Songs menu, files
// dropped on the window, and the last playlist.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <stdexcept>

#include "application.h"
#include "oneinstance.h"
#include "playform.h"
#include "playlistfile.h"
#include "songentries.h"
#include "ui_playform.h"

namespace {

// Tells which names were not added, and why; nothing when all were.
void refuseNames(const QStringList &names)
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

} // namespace

void TPlayForm::AddEntry(const QString &path)
{
    if (!PlaylistFile::fitsOnALine(path))
        refuseNames({path});
    const QString entry = SongEntries::makeEntry(path);
    if (!m_SortOnLoad) {
        m_Entries.append(entry);
        m_entriesSorted = false;
    } else if (m_entriesSorted) {
        SongEntries::insertSorted(m_Entries, entry);
    } else {
        m_Entries.append(entry);
        SongEntries::sortEntries(m_Entries);
        m_entriesSorted = true;
    }
}

QStringList TPlayForm::AddEntries(QStringList paths)
{
    QStringList refused;
    const qsizetype before = m_Entries.size();
    m_Entries.reserve(before + paths.size());
    // Sorting once after all of them gives the order that sorting after each one would.
    for (QString &path : paths) {
        if (PlaylistFile::fitsOnALine(path))
            m_Entries.append(SongEntries::makeEntry(path));
        else
            refused << path;
        path = QString(); // a long list's lines go as their entries come
    }
    // Adding nothing keeps the present order, even when sorting was switched on since.
    if (m_Entries.size() > before) {
        if (m_SortOnLoad)
            SongEntries::sortEntries(m_Entries);
        m_entriesSorted = m_SortOnLoad;
    }
    return refused;
}

void TPlayForm::RebuildSongList()
{
    QStringList rows;
    rows.reserve(m_Entries.size());
    for (qsizetype i = 0; i < m_Entries.size(); ++i)
        rows << SongEntries::rowText(int(i), SongEntries::titleOfEntry(m_Entries.at(i)),
                                     m_NumbersInPlaylist);
    ui->SongList->setItems(rows);
}

QStringList TPlayForm::chooseFilesToOpen()
{
    QFileDialog dialog(this, QString(), m_openDialogFolder,
                       QStringLiteral("MP3 files (*.mp3);;WMA files (*.wma);;M3U files (*.m3u)"));
    dialog.setObjectName(QStringLiteral("OpenDlg"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setDefaultSuffix(QStringLiteral("mp3"));
    dialog.setOption(QFileDialog::ReadOnly);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

void TPlayForm::OpenBtnClick()
{
    CommandScope::run([this] {
        const QStringList chosen = chooseFilesToOpen();
        const QStringList refused = addChosenFiles(chosen);
        if (!chosen.isEmpty())
            m_openDialogFolder = QFileInfo(chosen.first()).absolutePath();
        // Also after a cancelled dialog: numbering may have changed since the last rebuild.
        RebuildSongList();
        refuseNames(refused);
    });
}

QStringList TPlayForm::addChosenFiles(const QStringList &fileNames)
{
    QStringList refused;
    for (const QString &fileName : fileNames) {
        const QString name = QFileInfo(fileName).fileName();
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const QString extension = dot < 0 ? QString() : name.mid(dot).toUpper();
        if (extension == QLatin1String(".MP3"))
            refused += AddEntries({fileName});
        else if (extension == QLatin1String(".M3U"))
            refused += AddEntries(PlaylistFile::readLines(fileName)); // every line, blank ones too
    }
    return refused;
}

void TPlayForm::Remove1Click()
{
    CommandScope::run([this] {
        const int row = ui->SongList->itemIndex();
        if (row < 0)
            return;
        struct SelectAbove {
            TLMDImageListBox *list;
            int row;
            ~SelectAbove() { list->setItemIndex(row - 1); }
        } selectAbove{ui->SongList, row};
        if (row < m_Entries.size())
            m_Entries.removeAt(row);
        ui->SongList->deleteItem(row);
    });
}

void TPlayForm::RemoveAll1Click()
{
    CommandScope::run([this] {
        ui->SongList->clear();
        m_Entries.clear();
    });
}

void TPlayForm::LMDFMDrop1FMDragDrop(QObject *, int, int, int, const QStringList &FileList)
{
    CommandScope::run([this, &FileList] {
        QStringList songs;
        for (const QString &name : FileList)
            if (name.toUpper().contains(QLatin1String("MP3")))
                songs << name;
        const QStringList refused = AddEntries(songs);
        RebuildSongList();
        refuseNames(refused);
    });
}

void TPlayForm::AddFilesAndPlay(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    // Files that come while the program ends (a quit while the first start's prompt waited)
    // are kept in the list but not played: the library is released.
    CommandScope::run([this, &paths] {
        if (!m_Closed)
            TLMDOneInstance::BringForward(*this);
        QStringList refused;
        QString first;
        for (const QString &path : paths) {
            if (!PlaylistFile::fitsOnALine(path)) {
                refused << path;
                continue;
            }
            AddEntry(path);
            if (first.isEmpty())
                first = path;
        }
        RebuildSongList();
        // The row of that very file, wherever sorting put it.
        if (!first.isEmpty()) {
            ui->SongList->setItemIndex(int(m_Entries.indexOf(SongEntries::makeEntry(first))));
            if (!m_Closed)
                SongListDblClick();
        }
        refuseNames(refused);
    });
}

void TPlayForm::ReadPlaylist(const QString &fileName)
{
    const QStringList refused =
        AddEntries(PlaylistFile::nonBlankLines(PlaylistFile::readLines(fileName)));
    RebuildSongList();
    // Told, but the list read stays and the start goes on.
    CommandScope::runInEvent([&refused] { refuseNames(refused); });
}

void TPlayForm::takeLastPlaylist()
{
    if (m_lastPlaylistTaken)
        return;
    if (m_RememberLastLoaded && QFileInfo::exists(m_lastPlaylistPath))
        ReadPlaylist(m_lastPlaylistPath);
    m_lastPlaylistTaken = true;
}

void TPlayForm::WritePlaylist(const QString &fileName)
{
    QList<QStringView> paths;
    paths.reserve(m_Entries.size());
    for (const QString &entry : std::as_const(m_Entries))
        paths << SongEntries::pathViewOfEntry(entry);
    PlaylistFile::write(fileName, paths, QDir::currentPath());
}

QString TPlayForm::chooseFileToSave()
{
    QFileDialog dialog(this, QString(), QString(), QStringLiteral("Playlist (*.M3U)"));
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The file gets exactly the name typed; an existing one is replaced without a question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void TPlayForm::SavePlaylist1Click()
{
    CommandScope::run([this] {
        const QString fileName = chooseFileToSave();
        if (!fileName.isEmpty())
            WritePlaylist(fileName);
    });
}
