#include "playback.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTimer>
#include <stdexcept>

#include "player.h"
#include "songlist.h"
#include "songrows.h"

namespace {

// Wider than the poll's interval, so that one poll in a song's last second arms the end watch.
constexpr int EndWatchWindowMs = 1100;
// How often the end watch looks while the last of the audio plays out.
constexpr int EndWatchStepMs = 5;

} // namespace

Playback::Playback(SongList &songs, QObject *parent)
    : QObject(parent), m_songs(songs), m_timer(new QTimer(this)), m_endWatch(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("Timer"));
    m_timer->setInterval(1000);
    m_endWatch->setSingleShot(true);
    m_endWatch->setTimerType(Qt::PreciseTimer);
    // New rows carry no selection over.
    connect(&m_songs, &SongList::rowsReset, this, [this] { setCurrentRow(-1); });
}

void Playback::setCurrentRow(int row)
{
    if (row < 0 || row >= m_songs.rowCount())
        row = -1;
    if (row == m_row)
        return;
    m_row = row;
    emit currentRowChanged(row);
}

void Playback::setPlayMode(PlayMode mode)
{
    if (mode == m_playMode)
        return;
    m_playMode = mode;
    emit playModeChanged(mode);
}

void Playback::setVolume(int level)
{
    if (!m_player)
        return;
    level = std::clamp(level, 0, MaxVolume);
    m_player->SetLeftVolume(uint16_t(level));
    m_player->SetRightVolume(uint16_t(level));
    if (level == m_volume)
        return;
    m_volume = level;
    emit volumeChanged(level);
}

int Playback::position() const
{
    return m_player && m_player->PlayerMode() != 0 ? m_player->Position() : 0;
}

bool Playback::songOpen() const
{
    return m_player && m_player->Initialized() && m_player->PlayerMode() != 0;
}

void Playback::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void Playback::stopPolling()
{
    m_timer->stop();
    m_endWatch->stop();
}

void Playback::showStopped()
{
    stopPolling();
    // Told also when already stopped: a start that failed has to show that it did not start.
    m_state = State::Stopped;
    emit stateChanged(m_state);
}

void Playback::playCurrent()
{
    int row = m_row;
    if (row < 0)
        return;
    // A song that cannot start leaves playback stopped, so that Play can try again (after the
    // sound server is back, say).
    try {
        const int rows = m_songs.rowCount();
        for (int tried = 0; tried < rows; ++tried) {
            const QString path = m_songs.pathAt(row);
            if (m_player->PlayerMode() != 0) {
                stopPolling();
                m_player->Close();
            }
            if (QFileInfo(path).isFile()) {
                startSong(path);
                return;
            }
            row = SongRows::next(row, rows);
            setCurrentRow(row);
        }
    } catch (...) {
        showStopped();
        throw;
    }
    showStopped();
}

void Playback::playRow(int row)
{
    setCurrentRow(row);
    playCurrent();
}

void Playback::startSong(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("Cannot open file %1. %2").arg(path, file.errorString()).toStdString());
    m_fileBlocks = uint32_t(file.size() / 128);
    file.close();
    m_currentTitle = m_songs.rowText(m_row);
    m_elapsed = ElapsedTime();
    m_player->SetInputName(path);
    m_player->Open();
    m_player->InitStream();
    const int seconds = m_player->Size() / 1000;
    if (seconds > 0 && seconds != m_lengthSeconds) {
        m_lengthSeconds = seconds;
        emit lengthChanged(seconds);
    }
    m_player->Play();
    m_timer->start();
    m_streamInfo = fetchStreamInfo(*m_player);
    if (m_streamInfo)
        m_bitrate = uint32_t(m_streamInfo->bitrate);
    setState(State::Playing);
    emit songStarted();
}

void Playback::tick()
{
    const int mode = m_player->PlayerMode();
    if (mode == 3) {
        chooseNextSong();
        return;
    }
    if (mode != 4 && mode != 5)
        return;
    if (mode == 4) {
        m_elapsed.tick();
        emit elapsedChanged(m_elapsed);
        armEndWatch();
    }
    emit positionChanged(m_player->Position() / 1000);
    const int level = (int(m_player->LeftVolume()) + int(m_player->RightVolume())) / 2;
    if (level != m_volume)
        setVolume(level);
}

void Playback::armEndWatch()
{
    const int length = m_player->Size();
    if (length <= 0) // an unknown length: the poll finds the end
        return;
    const int left = length - m_player->Position();
    if (left < EndWatchWindowMs && !m_endWatch->isActive())
        m_endWatch->start(std::max(left, 0));
}

void Playback::watchEnd()
{
    if (!m_player)
        return;
    switch (m_player->PlayerMode()) {
    case 3:
        chooseNextSong();
        break;
    case 4:
        m_endWatch->start(EndWatchStepMs);
        break;
    default: // paused or stopped: the poll arms the watch again when it plays on
        break;
    }
}

void Playback::chooseNextSong()
{
    const int rows = m_songs.rowCount();
    switch (m_playMode) {
    case PlayMode::Forward:
        setCurrentRow(SongRows::next(m_row, rows));
        break;
    case PlayMode::Random:
        if (rows == 0)
            return;
        {
            QRandomGenerator generator{quint32(QDateTime::currentMSecsSinceEpoch())};
            setCurrentRow(SongRows::random(rows, generator));
        }
        break;
    case PlayMode::SameSong:
        break;
    }
    playCurrent();
}

void Playback::play()
{
    if (m_songs.rowCount() == 0)
        return;
    if (m_row < 0)
        setCurrentRow(0);
    playCurrent();
}

void Playback::pauseResume()
{
    if (m_songs.rowCount() == 0)
        return;
    if (m_player->Paused()) {
        m_player->Resume();
        setState(State::Playing);
    } else {
        m_player->Pause();
        setState(State::Paused);
    }
}

void Playback::playPause()
{
    if (m_state == State::Stopped)
        play();
    else
        pauseResume();
}

void Playback::pause()
{
    if (m_state == State::Playing)
        pauseResume();
}

void Playback::stop()
{
    if (m_songs.rowCount() == 0)
        return;
    // The stream is stopped even when it cannot be made ready again (the server gone, say).
    try {
        m_player->Stop();
        m_player->InitStream();
    } catch (...) {
        showStopped();
        throw;
    }
    emit positionChanged(0);
    showStopped();
}

void Playback::next()
{
    if (m_songs.rowCount() == 0 || m_row < 0)
        return;
    playRow(SongRows::next(m_row, m_songs.rowCount()));
}

void Playback::previous()
{
    if (m_songs.rowCount() == 0 || m_row < 0)
        return;
    playRow(SongRows::previous(m_row, m_songs.rowCount()));
}

void Playback::seek(int seconds)
{
    m_endWatch->stop(); // the next poll arms it again if the seek stayed near the end
    m_player->SetPosition(seconds * 1000);
    // Where the seek bar would show it: within the song's length when that is known.
    int now = std::max(m_player->Position() / 1000, 0);
    if (m_lengthSeconds > 0)
        now = std::min(now, m_lengthSeconds);
    emit positionChanged(now);
    // Without a bitrate there is nothing to estimate from: the decoder's position stands in.
    m_elapsed = estimateElapsedTime(m_fileBlocks, m_bitrate, now, m_lengthSeconds)
                    .value_or(elapsedTimeAt(m_player->Position()));
    emit seeked();
}

void Playback::seekBy(int seconds)
{
    if (m_state == State::Stopped)
        return;
    seek(std::max(m_player->Position() / 1000 + seconds, 0));
}

QStringList Playback::addAndPlay(const QStringList &files)
{
    const QStringList paths = SongList::songsIn(files);
    const QStringList refused = m_songs.addAll(paths);
    m_songs.rebuildRows();
    for (const QString &path : paths) {
        if (!refused.contains(path)) {
            playRow(m_songs.rowOfPath(path));
            break;
        }
    }
    return refused;
}
