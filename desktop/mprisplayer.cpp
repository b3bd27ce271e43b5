#include "mprisplayer.h"

#include <QTimer>
#include <QUrl>
#include <QWidget> // before application.h, which needs it whole

#include "application.h"
#include "mprisservice.h"
#include "songlist.h"

namespace {

QString messageOf(const std::exception_ptr &failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception &error) {
        return QString::fromLocal8Bit(error.what());
    } catch (...) {
    }
    return QStringLiteral("Unknown error");
}

} // namespace

MprisPlayer::MprisPlayer(MprisService &service) : QDBusAbstractAdaptor(&service), m_service(service)
{
}

QVariant MprisPlayer::value(const char *name) const
{
    return m_service.properties().value(QLatin1String(name));
}

template <class Command> void MprisPlayer::run(Command command)
{
    if (!m_service.ready()) {
        refuse(QDBusError::Failed, QStringLiteral("NorlPlayer is not ready to play"));
        return;
    }
    try {
        command(m_service.playback());
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        refuse(QDBusError::Failed, messageOf(failure));
        // Shown once the caller has its answer, as the window shows a failed command.
        QTimer::singleShot(0, &m_service, [failure] {
            try {
                std::rethrow_exception(failure);
            } catch (...) {
                TApplication::ShowException();
            }
        });
    }
}

void MprisPlayer::refuse(QDBusError::ErrorType type, const QString &message)
{
    if (m_service.calledFromDBus())
        m_service.sendErrorReply(type, message);
}

void MprisPlayer::setLoopStatus(const QString &status)
{
    const std::optional<Playback::PlayMode> mode = Mpris::playModeForLoopStatus(status);
    // The bus gives a property write no way to refuse: an unknown value is ignored.
    if (!mode)
        return;
    if (*mode == Playback::PlayMode::Forward)
        m_service.setForwardLoopStatus(status);
    m_service.playback().setPlayMode(*mode);
}

void MprisPlayer::setShuffle(bool shuffle)
{
    Playback &playback = m_service.playback();
    playback.setPlayMode(Mpris::playModeForShuffle(shuffle, playback.playMode()));
}

void MprisPlayer::setVolume(double volume)
{
    run([volume](Playback &playback) { playback.setVolume(Mpris::volumeLevel(volume)); });
}

qlonglong MprisPlayer::Position() const
{
    return m_service.positionUs();
}

void MprisPlayer::Play()
{
    run([](Playback &playback) { playback.play(); });
}

void MprisPlayer::Pause()
{
    run([](Playback &playback) { playback.pause(); });
}

void MprisPlayer::PlayPause()
{
    run([](Playback &playback) { playback.playPause(); });
}

void MprisPlayer::Stop()
{
    run([](Playback &playback) {
        if (playback.state() != Playback::State::Stopped)
            playback.stop();
    });
}

void MprisPlayer::Next()
{
    run([](Playback &playback) { playback.next(); });
}

void MprisPlayer::Previous()
{
    run([](Playback &playback) { playback.previous(); });
}

void MprisPlayer::Seek(qlonglong Offset)
{
    const std::optional<Mpris::Track> track = m_service.openTrack();
    run([&track, Offset](Playback &playback) {
        if (!track || playback.state() == Playback::State::Stopped)
            return;
        if (const std::optional<int> seconds =
                Mpris::seekTargetSeconds(playback.position(), Offset, track->lengthMs))
            playback.seek(*seconds);
        else
            playback.next();
    });
}

void MprisPlayer::SetPosition(const QDBusObjectPath &TrackId, qlonglong Position)
{
    if (!Mpris::setPositionApplies(m_service.openTrack(), TrackId.path(), Position))
        return;
    run([Position](Playback &playback) {
        if (playback.state() != Playback::State::Stopped)
            playback.seek(int((Position + 500000) / 1000000));
    });
}

void MprisPlayer::OpenUri(const QString &Uri)
{
    const QUrl url(Uri);
    if (!url.isLocalFile()) {
        refuse(QDBusError::NotSupported, QStringLiteral("Only file:// URIs are opened"));
        return;
    }
    // As a second copy's file: added where sorting puts it, and played.
    run([&url](Playback &playback) {
        SongList::throwIfRefused(playback.addAndPlay({url.toLocalFile()}));
    });
}
