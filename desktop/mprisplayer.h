// The media player's Player interface: the transport commands, seeking, the play mode, the
// volume and what plays, over the playback owner. A command that fails answers the caller with
// its message and shows it as a button's failure does.
#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusError>
#include <QDBusObjectPath>
#include <QVariantMap>

class MprisService;

class MprisPlayer : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE setLoopStatus)
    Q_PROPERTY(double Rate READ Rate)
    Q_PROPERTY(bool Shuffle READ Shuffle WRITE setShuffle)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double MinimumRate READ MinimumRate)
    Q_PROPERTY(double MaximumRate READ MaximumRate)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPause)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)

public:
    explicit MprisPlayer(MprisService &service);

    QString PlaybackStatus() const { return value("PlaybackStatus").toString(); }
    QString LoopStatus() const { return value("LoopStatus").toString(); }
    void setLoopStatus(const QString &status);
    double Rate() const { return 1.0; }
    bool Shuffle() const { return value("Shuffle").toBool(); }
    void setShuffle(bool shuffle);
    QVariantMap Metadata() const { return value("Metadata").toMap(); }
    double Volume() const { return value("Volume").toDouble(); }
    void setVolume(double volume);
    qlonglong Position() const;
    double MinimumRate() const { return 1.0; }
    double MaximumRate() const { return 1.0; }
    bool CanGoNext() const { return value("CanGoNext").toBool(); }
    bool CanGoPrevious() const { return value("CanGoPrevious").toBool(); }
    bool CanPlay() const { return value("CanPlay").toBool(); }
    bool CanPause() const { return value("CanPause").toBool(); }
    bool CanSeek() const { return value("CanSeek").toBool(); }
    bool CanControl() const { return true; }

public slots:
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    void Seek(qlonglong Offset);
    void SetPosition(const QDBusObjectPath &TrackId, qlonglong Position);
    void OpenUri(const QString &Uri);

signals:
    void Seeked(qlonglong Position);

private:
    QVariant value(const char *name) const;
    // Runs a command on playback once the decoder library is loaded.
    template <class Command> void run(Command command);
    // Answers the call being handled with an error; nothing when no call is.
    void refuse(QDBusError::ErrorType type, const QString &message);

    MprisService &m_service;
};
