#include "mprisservice.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTimer>

#include "mprisplayer.h"
#include "mprisroot.h"
#include "player.h"
#include "songlist.h"
#include "startedtrack.h"

namespace {

const QString ObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString ServiceName = QStringLiteral("org.mpris.MediaPlayer2.norlplayer");

} // namespace

MprisService::MprisService(Playback &playback, SongList &songs, QWidget &window, QObject *parent)
    : QObject(parent), m_playback(playback), m_songs(songs), m_window(window),
      m_player(new MprisPlayer(*this)), m_bus(QString())
{
    new MprisRoot(*this);
    connect(&playback, &Playback::songStarted, this, &MprisService::takeStartedSong);
    connect(&playback, &Playback::stateChanged, this, &MprisService::scheduleUpdate);
    connect(&playback, &Playback::playModeChanged, this, &MprisService::scheduleUpdate);
    connect(&playback, &Playback::volumeChanged, this, &MprisService::scheduleUpdate);
    connect(&playback, &Playback::lengthChanged, this, &MprisService::scheduleUpdate);
    connect(&songs, &SongList::rowsReset, this, &MprisService::scheduleUpdate);
    connect(&songs, &SongList::rowRemoved, this, &MprisService::scheduleUpdate);
    connect(&playback, &Playback::seeked, this, [this] { emit m_player->Seeked(positionUs()); });
}

QString MprisService::registerOn(QDBusConnection bus)
{
    if (!bus.isConnected())
        return QStringLiteral("no session bus (%1)").arg(bus.lastError().message());
    if (!bus.registerObject(ObjectPath, this, QDBusConnection::ExportAdaptors))
        return QStringLiteral("the object %1 is taken").arg(ObjectPath);
    if (!bus.registerService(ServiceName)) {
        bus.unregisterObject(ObjectPath);
        return QStringLiteral("the name %1 is taken").arg(ServiceName);
    }
    m_bus = bus;
    m_published = properties();
    return {};
}

bool MprisService::ready() const
{
    return m_playback.player() && m_playback.player()->Initialized();
}

std::optional<Mpris::Track> MprisService::openTrack() const
{
    return m_playback.songOpen() ? m_track : std::nullopt;
}

QVariantMap MprisService::properties() const
{
    Mpris::PlayerSnapshot snapshot;
    snapshot.state = m_playback.state();
    snapshot.mode = m_playback.playMode();
    snapshot.forwardLoopStatus = m_forwardLoopStatus;
    snapshot.volume = m_playback.volume();
    snapshot.rows = m_songs.rowCount();
    snapshot.track = openTrack();
    return Mpris::playerProperties(snapshot);
}

qint64 MprisService::positionUs() const
{
    return m_playback.songOpen() ? qint64(m_playback.position()) * 1000 : 0;
}

void MprisService::setForwardLoopStatus(const QString &status)
{
    m_forwardLoopStatus = status;
    scheduleUpdate();
}

void MprisService::takeStartedSong()
{
    m_track = startedTrack(m_playback, m_songs, ++m_songsStarted);
    scheduleUpdate();
}

void MprisService::scheduleUpdate()
{
    if (m_updateScheduled || !m_bus.isConnected())
        return;
    m_updateScheduled = true;
    QTimer::singleShot(0, this, &MprisService::publishChanges);
}

void MprisService::publishChanges()
{
    m_updateScheduled = false;
    const QVariantMap now = properties();
    const QVariantMap changed = Mpris::changedProperties(m_published, now);
    m_published = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(ObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
    m_bus.send(signal);
}
