// The program on the session bus as a media player that the desktop's media controls, media keys
// and tools drive: one object with the root and the player interface over the playback owner and
// the song list. It tells the bus of every change of what it publishes, once per event-loop turn.
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QVariantMap>

#include "mprisproperties.h"

class SongList;
class QWidget;
class MprisPlayer;

// The bus tells the object behind the adaptors, not the adaptors, which call is being answered.
class MprisService : public QObject, public QDBusContext {
    Q_OBJECT

public:
    // `window` is what Raise brings forward and Quit closes.
    MprisService(Playback &playback, SongList &songs, QWidget &window, QObject *parent = nullptr);

    // Puts the object and the player's name on `bus`. Returns why it could not, or an empty
    // string; the program then goes on without it.
    QString registerOn(QDBusConnection bus);

    Playback &playback() const { return m_playback; }
    QWidget &window() const { return m_window; }
    // Whether the decoder library is loaded, so that playback can take commands.
    bool ready() const;
    // The Player interface's properties as they are now, the position apart.
    QVariantMap properties() const;
    std::optional<Mpris::Track> openTrack() const;
    qint64 positionUs() const;
    // LoopStatus "None" and "Playlist" both mean Forward; a client reads back the one it set.
    void setForwardLoopStatus(const QString &status);

private:
    void takeStartedSong();
    void scheduleUpdate();
    void publishChanges();

    Playback &m_playback;
    SongList &m_songs;
    QWidget &m_window;
    MprisPlayer *m_player;
    QDBusConnection m_bus;
    std::optional<Mpris::Track> m_track; // the song started last
    int m_songsStarted = 0;
    QString m_forwardLoopStatus = QStringLiteral("Playlist");
    QVariantMap m_published;
    bool m_updateScheduled = false;
};
