#pragma once
// The two bus interfaces of the media-player object, each forwarding to TMpris.

#include "app/desktop/Mpris.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

namespace vorlane {

class TMprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

public:
    explicit TMprisRootAdaptor(TMpris *mpris);

    QString Identity() const { return QStringLiteral("Vorlane"); }
    QString DesktopEntry() const { return QLatin1String(kDesktopEntry); }
    bool CanRaise() const { return true; }
    bool CanQuit() const { return true; }
    bool HasTrackList() const { return false; }
    QStringList SupportedUriSchemes() const;
    QStringList SupportedMimeTypes() const { return AudioMimeTypes(); }

public Q_SLOTS:
    void Raise() { vMpris->Raise(); }
    void Quit() { vMpris->Quit(); }

private:
    TMpris *vMpris;
};

class TMprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoNext)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPause)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)

public:
    explicit TMprisPlayerAdaptor(TMpris *mpris);

    QString PlaybackStatus() const { return vMpris->PlaybackStatus(); }
    qlonglong Position() const { return vMpris->Position(); }
    double Volume() const { return vMpris->Volume(); }
    void SetVolume(double volume) { vMpris->SetVolume(volume); }
    QVariantMap Metadata() const { return vMpris->Metadata(); }
    bool CanGoNext() const { return vMpris->CanGoNext(); }
    bool CanPlay() const { return vMpris->CanPlay(); }
    bool CanPause() const { return vMpris->CanPause(); }
    bool CanSeek() const { return vMpris->CanSeek(); }
    bool CanControl() const { return true; }

public Q_SLOTS:
    void Play() { vMpris->Play(); }
    void Pause() { vMpris->Pause(); }
    void PlayPause() { vMpris->PlayPause(); }
    void Stop() { vMpris->Stop(); }
    void Next() { vMpris->Next(); }
    void Previous() { vMpris->Previous(); }
    void Seek(qlonglong offset) { vMpris->Seek(offset); }
    void SetPosition(const QDBusObjectPath &trackId, qlonglong position)
    {
        vMpris->SetPosition(trackId, position);
    }
    void OpenUri(const QString &uri) { vMpris->OpenUri(uri); }

Q_SIGNALS:
    void Seeked(qlonglong position);

private:
    TMpris *vMpris;
};

} // namespace vorlane
