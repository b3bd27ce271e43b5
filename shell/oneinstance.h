// TLMDOneInstance: the main window's single-instance guard. The window calls Loaded() once its
// components exist and before FormCreate; in a later copy of the program that brings the first
// copy forward and ends this process before it has loaded or saved anything.
#pragma once

#include <QMetaType>
#include <QObject>
#include <functional>

class InstanceGuard;
class QWidget;

using TLMDOneInstanceCustomEvent = std::function<void(QObject *Sender)>;
Q_DECLARE_METATYPE(TLMDOneInstanceCustomEvent)

class TLMDOneInstance : public QObject {
    Q_OBJECT
public:
    enum TLMDOneInstanceMode { oiActivateOnly, oiDefaultMessage, oiCustom };
    Q_ENUM(TLMDOneInstanceMode)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TLMDOneInstanceMode Mode READ Mode WRITE SetMode)
    Q_PROPERTY(TLMDOneInstanceCustomEvent OnCustom READ OnCustom WRITE SetOnCustom)

    // Ends this process; replaced by tests.
    using Ending = std::function<void()>;

    // `guard` tells whether another copy runs; by default the process's InstanceGuard. Without
    // one the program counts as the only copy. Throws std::runtime_error when another
    // TLMDOneInstance is alive in this process.
    explicit TLMDOneInstance(QObject *parent = nullptr);
    TLMDOneInstance(InstanceGuard *guard, QObject *parent);
    ~TLMDOneInstance() override;

    bool Enabled() const { return m_Enabled; }
    void SetEnabled(bool value) { m_Enabled = value; }
    TLMDOneInstanceMode Mode() const { return m_Mode; }
    void SetMode(TLMDOneInstanceMode value) { m_Mode = value; }
    TLMDOneInstanceCustomEvent OnCustom() const { return m_OnCustom; }
    void SetOnCustom(TLMDOneInstanceCustomEvent value) { m_OnCustom = std::move(value); }

    void SetEnding(Ending ending) { m_ending = std::move(ending); }

    // The check, run when the owning window has its components: in a later copy, performs the
    // Mode's action and ends the process.
    void Loaded();

    // The first copy's answer to a request: shows the window (also when it was hidden to the
    // tray) on a screen that is there, restores it when minimised, raises and activates it.
    static void BringForward(QWidget &window);

    // The standard ending: the process ends at once, without returning into the shutdown path
    // that would save settings and the playlist. Output is flushed first.
    [[noreturn]] static void EndProcess();

private:
    void activate();

    InstanceGuard *m_guard;
    bool m_Enabled = true;
    TLMDOneInstanceMode m_Mode = oiActivateOnly;
    TLMDOneInstanceCustomEvent m_OnCustom;
    Ending m_ending = &TLMDOneInstance::EndProcess;
};
