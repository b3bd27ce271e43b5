// TPlayForm: the main window. It owns every component of the program's window (the player
// manager with its one player, the settings binding, the menus), the song list and the playback
// object, and shows them. Its layout, design values, menus and the binding of events to handlers
// are the data of playform.ui; the handlers keep their component-and-event names and route to
// the song list and playback. The window's life, the song list and playlist files, playing, the
// keys and the settings each live in their own source file.
#pragma once

#include <QImage>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "elapsedtime.h"
#include "filestreams.h"
#include "playback.h"

class EqualizerControl;
class EqualizerForm;
class RegistryStore;
class SongList;
class TElPlayer;
class TElPlayerMan;
class TIniOut;
class TLMDAboutDlg;
class TLMDFMDrop;
class TLMDOneInstance;
class TLMDTrayIcon;
class QTimer;
namespace Ui {
class TPlayForm;
}

class TPlayForm : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)

public:
    // `programFolder` is where the program lies: the decoder library, the default skin and, when
    // it may be written, "loaded.lpl". `arguments` is the command line without the program.
    TPlayForm(RegistryStore &store, const QString &programFolder, const QStringList &arguments);
    ~TPlayForm() override;

    int Top() const { return y(); }
    void SetTop(int value) { move(x(), value); }
    int Left() const { return x(); }
    void SetLeft(int value) { move(value, y()); }

    // Creation: restores the stored properties, then shows the window (which runs FormShow).
    void FormCreate();
    void FormShow();
    // The first show's steps that wait until the window is up: windowUp once, at the first show;
    // the association check and the command line's songs once, right after the show that
    // completed FormShow.
    void FinishFirstShow();
    // Shows, then finishes the first show once the window is up.
    void setVisible(bool visible) override;
    void FormClose();
    void FormDestroy();

    // Virtual so that a test can watch the order of the start-up steps.
    virtual void AddEntry(const QString &path);
    // Adds several paths as AddEntry does one by one, sorting once at the end. Paths a playlist
    // file cannot keep are left out and returned; AddEntry throws for one.
    QStringList AddEntries(QStringList paths);
    // Replaces the rows with one per entry, so that rows and entries never drift apart.
    void RebuildSongList();
    virtual void ReadPlaylist(const QString &fileName);
    void WritePlaylist(const QString &fileName);
    virtual void ApplySettings();
    // Applies a skin file: background, shape (once per run), buttons, font, colours, thumbs.
    void LoadSkin(const QString &fileName);
    // Writes the shape of the pixels of `bitmap` that are not `key` as a region file.
    void SaveBitmapRegion(const QImage &bitmap, QRgb key, const QString &fileName);
    // Sets the window's shape from a region file; false when the file is missing or damaged.
    bool ApplyRegionFile(const QString &fileName);
    // The desktop's .mp3 association check of the first show: the prompt, when the program is
    // not the user's handler for MP3 files and the user has not declined for good.
    virtual void CheckAssociation();
    // Handles the first show's command line: the songs its arguments name.
    void OpenCommandLineFile();
    // Adds `paths` in order (sorted in when SortOnLoad), brings the window forward and plays the
    // first of them. Paths a playlist file cannot keep are left out and reported.
    void AddFilesAndPlay(const QStringList &paths);

    const QStringList &Entries() const;
    // The song list and the one owner of playback, for every caller that plays.
    SongList &Songs() const { return *m_songs; }
    Playback &PlaybackControl() const { return *m_playback; }
    TElPlayer *Player() const { return m_Player; }
    bool FirstShowDone() const { return m_FirstShowDone; }
    QString LastPlaylistPath() const { return m_lastPlaylistPath; }
    QString SkinFileName() const { return m_SkinFileName; }
    bool SortOnLoad() const;
    bool NumbersInPlaylist() const;
    bool RememberLastLoaded() const { return m_RememberLastLoaded; }
    bool DisplayRecordingInfo() const { return m_DisplayRecordingInfo; }
    int PlayListFontSize() const { return m_PlayListFontSize; }
    // Whether the desktop is to show a notification at each new song.
    bool NotifyEachSong() const { return m_NotifyEachSong; }

    // Where the last playlist is kept: beside the program, or in the user's data folder when
    // the program's folder cannot be written (a system-wide install).
    static QString lastPlaylistPathFor(const QString &programFolder);
    // Whether the main window's settings were ever saved in `store`: false at the very first start.
    static bool settingsKept(RegistryStore &store);
    // The project's home page, for the Help menu and the about box.
    static const QUrl HomePage;

    // Shows the elapsed time and the playing song's title.
    void ShowTime(const QString &time);
    ElapsedTime Elapsed() const { return m_playback->elapsed(); }
    uint32_t FileBlocks() const { return m_playback->fileBlocks(); }
    uint32_t Bitrate() const { return m_playback->bitrate(); }
    QString CurrentTitle() const { return m_playback->currentTitle(); }

signals:
    // The window is up for the first time: the desktop's parts that need not hold up the first
    // frame join now, before the command line's song starts.
    void windowUp();

public slots:
    void SongListDblClick();
    void PlayBtnClick();
    void PauseBtnClick();
    void StopBtnClick();
    void LMDSpeedButton5Click();
    void LMDSpeedButton4Click();
    void TimerTimer();
    void SliderMouseUp(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                       int Y);
    void Forward1Click();
    void Random1Click();
    void SameSong1Click();
    void InfoBtnClick();
    void ID3BtnClick();
    void AboutBtnClick();
    void Contents1Click();
    void NorlPlayersHomePage1Click();
    void OpenBtnClick();
    void Remove1Click();
    void RemoveAll1Click();
    void SavePlaylist1Click();
    void LMDFMDrop1FMDragDrop(QObject *Sender, int fcount, int x, int y,
                              const QStringList &FileList);
    void Preferences1Click();
    void Slider2Change(QObject *Sender);
    void Slider1StopTracking(QObject *Sender);
    void LMDSpeedButton6Click();
    void LMDSpeedButton7Click();
    void LMDTrayIcon1DblClick();
    void Restore1Click();
    void Equalizer1Click();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void LMDPanelFill1MouseDown(QObject *Sender, Qt::MouseButton Button,
                                Qt::KeyboardModifiers Shift, int X, int Y);
    void closeEvent(QCloseEvent *event) override;

    // Hands the window to the desktop to be moved with the mouse; replaceable where there is no
    // window system to do it.
    virtual void startWindowMove();

    // The dialogs, replaceable where a test has no one to answer them. Empty when cancelled.
    virtual QStringList chooseFilesToOpen();
    virtual QString chooseFileToSave();
    virtual void showPreferences();

    // Adds the files chosen in the open dialog by their extensions: songs, playlists read line
    // by line, nothing for the rest. Returns the names it refused.
    QStringList addChosenFiles(const QStringList &fileNames);

    std::unique_ptr<Ui::TPlayForm> ui;

private:
    void createComponents();
    void showBuiltinPictures();
    void showWindowButtons(const QColor &color);
    // Before the window exists: on Wayland the shape can only be drawn, so the window gets an
    // alpha channel.
    void prepareShape();
    // How the window shows playback: its signals bound to the controls, and back.
    void bindPlayback();
    // The window's keys, and the bars' keys where they do more than move the bar: true when
    // the key was used up.
    void bindKeys();
    bool barKeyEvent(QObject *watched, QEvent *event);
    void showStartedSong();
    void showPlaybackState(Playback::State state);
    void showPlayMode();
    void showStoppedControls();
    // Sends the stored equalizer to the loaded library, and offers the window when it has one.
    void startEqualizer();
    // The Equalizer window, when open, in the skin's font and colours.
    void showEqualizerLook();
    // Reads the remembered list, once per run, when the settings first take effect.
    void takeLastPlaylist();
    bool libraryOfVersionOne() const;
    void PlayerManPlayers0OutputInit(QObject *Sender, bool &Success);
    void PlayerManPlayers0OutputDone(QObject *Sender, bool &Success);
    void PlayerManPlayers0Output(QObject *Sender, void *SampleData, int SBits, int Channels,
                                 int SampleRate, int Size, bool &success);

    RegistryStore &m_store;
    QString m_programFolder;
    QStringList m_arguments;
    QString m_startFolder; // the current folder when the program started
    TElPlayerMan *m_PlayerMan = nullptr;
    TIniOut *m_IniOut1 = nullptr;
    TLMDAboutDlg *m_LMDAboutDlg1 = nullptr;
    TLMDOneInstance *m_LMDOneInstance1 = nullptr;
    TLMDTrayIcon *m_LMDTrayIcon1 = nullptr;
    TLMDFMDrop *m_LMDFMDrop1 = nullptr;
    FileStreams m_fileStreams;
    QString m_openDialogFolder;

    SongList *m_songs = nullptr;
    Playback *m_playback = nullptr;
    QTimer *m_seekKeysSettle = nullptr; // runs while the seek bar is being moved with keys
    TElPlayer *m_Player = nullptr;
    EqualizerControl *m_equalizer = nullptr;
    EqualizerForm *m_equalizerForm = nullptr;
    QString m_SkinFileName;
    bool m_FirstShowDone = false;
    bool m_FirstShowToFinish = false;
    bool m_WindowUpSent = false;
    bool m_regionApplied = false; // the window's shape is set once per run
    bool m_PriorityLive = false;
    bool m_RememberLastLoaded = false;
    bool m_DisplayRecordingInfo = false;
    bool m_NotifyEachSong = false;
    int m_PlayListFontSize = 8;
    QString m_lastPlaylistPath;
    // The remembered list was read (or there was none to read) when the settings first took
    // effect; until then the quit must not replace it with a list that lacks its songs.
    bool m_lastPlaylistTaken = false;
};
