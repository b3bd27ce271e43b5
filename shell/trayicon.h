// TLMDTrayIcon: the program's icon in the desktop's notification area. It belongs to a window,
// its owner and parent, and while the icon stands in for that window it keeps the window off the
// taskbar and turns its minimise into hiding to the tray. Where the desktop has no tray the window
// only minimises and keeps its taskbar button, so it can always be got back.
#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <functional>

class QDBusConnection;

class TLMDTrayIcon : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(QIcon Icon READ Icon WRITE SetIcon)
    Q_PROPERTY(bool NoClose READ NoClose WRITE SetNoClose)
    Q_PROPERTY(QMenu *PopUpMenu READ PopUpMenu WRITE SetPopUpMenu)

public:
    // Answers whether the desktop has a notification area right now.
    using TrayProbe = std::function<bool()>;

    // Active from the start. The icon shows, and the window leaves the taskbar, once the icon has
    // a picture: set it while `owner` is still hidden, so that the window does not flicker.
    // `activationsOnly` is asked once, here: whether the tray reports no double clicks.
    explicit TLMDTrayIcon(QWidget *owner,
                          TrayProbe trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable,
                          const TrayProbe &activationsOnly = &statusNotifierHostOnSessionBus);
    ~TLMDTrayIcon() override;

    bool Active() const { return m_Active; }
    // Off: the icon goes at once, minimise and close act as usual again and the window gets its
    // taskbar button back.
    void SetActive(bool active);
    // The tip over the icon, kept whole.
    QString Hint() const { return m_Hint; }
    void SetHint(const QString &hint);
    QIcon Icon() const { return m_Icon; }
    void SetIcon(const QIcon &icon);
    // On, while the window can hide to the tray, closing the window hides it instead.
    bool NoClose() const { return m_NoClose; }
    void SetNoClose(bool noClose) { m_NoClose = noClose; }
    // Opened by the right button; not owned, and forgotten when it is destroyed.
    QMenu *PopUpMenu() const { return m_PopUpMenu; }
    void SetPopUpMenu(QMenu *menu);

    // True when hiding the owner leaves a way back: active, a tray exists and the icon is in it.
    bool canHideToTray() const;

    // The program's pictures lying in `folder` (norlplayer-SIZE.png, 16 to 256); null when none is
    // there.
    static QIcon programIcon(const QString &folder);

    // Whether `bus` has a notification area host. On the session bus that means the icon lives in
    // a D-Bus based area, which reports a single activation where another reports clicks and
    // double clicks.
    static bool statusNotifierHostRunning(const QDBusConnection &bus);
    static bool statusNotifierHostOnSessionBus();

signals:
    // Each report from the tray is one whole click of its button: OnMouseDown, then OnClick and
    // OnMouseUp. A double click first gives OnDblClick and a down marked as double. On a tray
    // that reports only activations, the activation is the icon's double click: it is the one
    // way such a tray has to ask for the window. The right button gives OnPopUp after its down
    // when a menu is set; the menu itself is opened by the tray. The tray reports no mouse moves,
    // so there is no move event.
    void OnClick(QObject *Sender);
    void OnDblClick(QObject *Sender);
    void OnPopUp(QObject *Sender);
    void OnMouseDown(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                     int Y, bool DoubleClick);
    void OnMouseUp(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                   int Y);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void trayActivated(QSystemTrayIcon::ActivationReason reason);
    void showIconWhenReady();
    void setOffTaskbar(bool off);
    void hideMinimisedOwner();

    QPointer<QWidget> m_owner;
    TrayProbe m_trayAvailable;
    bool m_activationsOnly;
    QSystemTrayIcon *m_tray = nullptr;
    bool m_Active = false;
    QString m_Hint;
    QIcon m_Icon;
    bool m_NoClose = false;
    QPointer<QMenu> m_PopUpMenu;
    bool m_offTaskbar = false;
    // The owner's window type from before it became a tool window.
    Qt::WindowFlags m_ownerType = Qt::Window;
};
