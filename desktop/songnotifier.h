// The desktop notification at each new song, when the user asked for it: the song's title (and
// artist), replacing the one shown for the song before. Without a notification server nothing
// shows, and that is said once.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>

class Playback;
class SongList;

class SongNotifier : public QObject {
    Q_OBJECT

public:
    // `wanted` tells at each song whether the user wants the notification now.
    SongNotifier(Playback &playback, SongList &songs, QDBusConnection bus,
                 std::function<bool()> wanted, QObject *parent = nullptr);

private:
    void notify();

    Playback &m_playback;
    SongList &m_songs;
    QDBusConnection m_bus;
    std::function<bool()> m_wanted;
    uint m_shownId = 0; // the notification on screen, replaced by the next
    bool m_failureTold = false;
};
