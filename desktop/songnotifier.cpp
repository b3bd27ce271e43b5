#include "songnotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <cstdio>

#include "playback.h"
#include "startedtrack.h"

SongNotifier::SongNotifier(Playback &playback, SongList &songs, QDBusConnection bus,
                           std::function<bool()> wanted, QObject *parent)
    : QObject(parent), m_playback(playback), m_songs(songs), m_bus(std::move(bus)),
      m_wanted(std::move(wanted))
{
    connect(&playback, &Playback::songStarted, this, &SongNotifier::notify);
}

void SongNotifier::notify()
{
    if (!m_wanted() || !m_bus.isConnected())
        return;
    const Mpris::Track track = startedTrack(m_playback, m_songs, 0);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QStringLiteral("NorlPlayer") << m_shownId << QStringLiteral("norlplayer")
         << Mpris::displayTitle(track)
         // The body is markup to many servers: a tag's text is shown as it is.
         << track.artist.toHtmlEscaped() << QStringList() << QVariantMap() << int(-1);
    // Not waited for: a slow or missing server must not hold up playing.
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher *finished) {
                finished->deleteLater();
                const QDBusPendingReply<uint> reply = *finished;
                if (reply.isValid()) {
                    m_shownId = reply.value();
                } else if (!m_failureTold) {
                    m_failureTold = true;
                    std::fprintf(stderr, "norlplayer: no song notifications: %s\n",
                                 qPrintable(reply.error().message()));
                }
            });
}
