// The one owner of playback: the commands every caller uses (the window's buttons and menus, the
// tray, the keyboard, the desktop's media controls, a second copy) and the state they change,
// each with a change signal. It plays the rows of a SongList through one player; the row it
// plays from is its current row, which a view keeps in step with its selection. Commands throw
// on failure, after leaving playback stopped when a song could not start.
#pragma once

#include <QObject>
#include <QStringList>
#include <optional>

#include "elapsedtime.h"
#include "streamquality.h"

class SongList;
class TElPlayer;
class QTimer;

class Playback : public QObject {
    Q_OBJECT
    Q_PROPERTY(State state READ state NOTIFY stateChanged)
    Q_PROPERTY(int currentRow READ currentRow WRITE setCurrentRow NOTIFY currentRowChanged)
    Q_PROPERTY(PlayMode playMode READ playMode WRITE setPlayMode NOTIFY playModeChanged)
    Q_PROPERTY(int volume READ volume WRITE setVolume NOTIFY volumeChanged)
    Q_PROPERTY(int lengthSeconds READ lengthSeconds NOTIFY lengthChanged)
    Q_PROPERTY(QString currentTitle READ currentTitle NOTIFY songStarted)

public:
    enum class State { Stopped, Playing, Paused };
    Q_ENUM(State)
    // What follows the end of a song: the next row, a random row, or the same song again.
    enum class PlayMode { Forward, Random, SameSong };
    Q_ENUM(PlayMode)

    // Full volume: the volume bar's range and the player's per-channel level.
    static constexpr int MaxVolume = 65535;

    explicit Playback(SongList &songs, QObject *parent = nullptr);

    // The player to play through; none until the decoder library is loaded.
    void setPlayer(TElPlayer *player) { m_player = player; }
    TElPlayer *player() const { return m_player; }
    // The one-second poll, running while a song is open; its timeout is meant to call tick().
    QTimer *pollTimer() const { return m_timer; }
    // Armed by the poll in a song's last second; its timeout is meant to call watchEnd(), so that
    // the next song follows the end at once instead of at the next poll.
    QTimer *endWatchTimer() const { return m_endWatch; }

    State state() const { return m_state; }
    int currentRow() const { return m_row; }
    // A row that does not exist means none (-1).
    void setCurrentRow(int row);
    PlayMode playMode() const { return m_playMode; }
    void setPlayMode(PlayMode mode);
    // 0..MaxVolume, the mean of the two channels as last set or polled.
    int volume() const { return m_volume; }
    // Sets both channels to `level`, also when it is the present one (that levels a balance
    // changed outside). Nothing without a player.
    void setVolume(int level);
    int lengthSeconds() const { return m_lengthSeconds; }
    // The audible position in milliseconds; 0 when nothing is open.
    int position() const;
    // Whether the player has a song open (playing, paused, stopped or ended).
    bool songOpen() const;
    QString currentTitle() const { return m_currentTitle; }
    ElapsedTime elapsed() const { return m_elapsed; }
    uint32_t fileBlocks() const { return m_fileBlocks; }
    uint32_t bitrate() const { return m_bitrate; }
    // What the library told of the song started last; nothing when it could not tell.
    const std::optional<StreamInfo> &streamInfo() const { return m_streamInfo; }

    // Plays the current row; missing files are skipped forward, wrapping, and a list of only
    // missing files ends stopped. Nothing without a current row.
    void playCurrent();
    void playRow(int row);
    // Plays the current row, the first when none is current; nothing for an empty list.
    void play();
    void pauseResume();
    // Pauses or resumes what is open; plays when nothing is.
    void playPause();
    // Pauses only what is playing.
    void pause();
    void stop();
    // From the current row, wrapping; nothing without one.
    void next();
    void previous();
    // Seeks to `seconds` and re-estimates the elapsed time from there.
    void seek(int seconds);
    // Seeks `seconds` from the present position, not before the start; nothing when stopped.
    void seekBy(int seconds);
    // Adds the files in order (a playlist's songs in its place), rebuilds the rows and plays the
    // first of them. Returns the paths a playlist file cannot keep, which are left out.
    QStringList addAndPlay(const QStringList &files);
    // One second of the poll: the elapsed time, the position, the volume, and the next song by
    // the play mode when one has ended.
    void tick();
    // Goes on by the play mode when the song has ended, else looks again shortly while it plays.
    void watchEnd();

signals:
    // Also when a command that could not start a song leaves playback stopped as it was.
    void stateChanged(Playback::State state);
    void currentRowChanged(int row);
    void playModeChanged(Playback::PlayMode mode);
    void volumeChanged(int level);
    void lengthChanged(int seconds);
    // In whole seconds, at each tick, after a seek and 0 after Stop.
    void positionChanged(int seconds);
    // A seek was made; position() is where it landed.
    void seeked();
    // Each second of playing.
    void elapsedChanged(const ElapsedTime &elapsed);
    // A song began playing; the title, length and stream information are its own.
    void songStarted();

private:
    void startSong(const QString &path);
    void chooseNextSong();
    void setState(State state);
    void showStopped();
    void stopPolling();
    void armEndWatch();

    SongList &m_songs;
    TElPlayer *m_player = nullptr;
    QTimer *m_timer;
    QTimer *m_endWatch;
    State m_state = State::Stopped;
    PlayMode m_playMode = PlayMode::Forward;
    int m_row = -1;
    int m_volume = 0;
    int m_lengthSeconds = 0;
    QString m_currentTitle;
    ElapsedTime m_elapsed; // ElapsedMinutes and ElapsedSeconds
    uint32_t m_fileBlocks = 0;
    uint32_t m_bitrate = 0;
    std::optional<StreamInfo> m_streamInfo;
};
