// The song list and playlist files of the main window: entries and rows, the Songs menu, files
// dropped on the window, and the last playlist.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "application.h"
#include "oneinstance.h"
#include "player.h"
#include "playform.h"
#include "songlist.h"
#include "ui_playform.h"

void TPlayForm::AddEntry(const QString &path)
{
    m_songs->add(path);
}

QStringList TPlayForm::AddEntries(QStringList paths)
{
    return m_songs->addAll(std::move(paths));
}

void TPlayForm::RebuildSongList()
{
    m_songs->rebuildRows();
}

const QStringList &TPlayForm::Entries() const
{
    return m_songs->entries();
}

QStringList TPlayForm::chooseFilesToOpen()
{
    QFileDialog dialog(this, QString(), m_openDialogFolder,
                       QStringLiteral("MP3 files (*.mp3);;WMA files (*.wma);;M3U files (*.m3u);;"
                                      "M3U8 files (*.m3u8)"));
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
        SongList::throwIfRefused(refused);
    });
}

QStringList TPlayForm::addChosenFiles(const QStringList &fileNames)
{
    return m_songs->addChosenFiles(fileNames);
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
        m_songs->removeRow(row);
    });
}

void TPlayForm::RemoveAll1Click()
{
    CommandScope::run([this] { m_songs->clear(); });
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
        SongList::throwIfRefused(refused);
    });
}

void TPlayForm::AddFilesAndPlay(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    CommandScope::run([this, &paths] {
        // Files that come before the library is loaded, or after the window's close released it
        // (a quit while the first start's prompt waited), are kept in the list but not played.
        if (!m_Player || !m_Player->Initialized()) {
            AddEntries(SongList::songsIn(paths));
            RebuildSongList();
            return;
        }
        TLMDOneInstance::BringForward(*this);
        SongList::throwIfRefused(m_playback->addAndPlay(paths));
    });
}

void TPlayForm::ReadPlaylist(const QString &fileName)
{
    const QStringList refused = m_songs->readPlaylist(fileName);
    RebuildSongList();
    // Told, but the list read stays and the start goes on.
    CommandScope::runInEvent([&refused] { SongList::throwIfRefused(refused); });
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
    m_songs->writePlaylist(fileName, QDir::currentPath());
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
