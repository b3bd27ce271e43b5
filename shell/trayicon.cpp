#include "trayicon.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include "fileicon.h"

TLMDTrayIcon::TLMDTrayIcon(QWidget *owner, TrayProbe trayAvailable,
                           const TrayProbe &activationsOnly)
    : QObject(owner), m_owner(owner), m_trayAvailable(std::move(trayAvailable)),
      m_activationsOnly(activationsOnly && activationsOnly()), m_tray(new QSystemTrayIcon(this))
{
    if (!m_trayAvailable)
        m_trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
    connect(m_tray, &QSystemTrayIcon::activated, this, &TLMDTrayIcon::trayActivated);
    SetActive(true);
}

TLMDTrayIcon::~TLMDTrayIcon()
{
    // Gone from the tray at once, not when the tray next looks. The window's type is left alone:
    // the owner is usually being destroyed itself.
    m_tray->hide();
    if (m_owner)
        m_owner->removeEventFilter(this);
}

void TLMDTrayIcon::SetActive(bool active)
{
    if (active == m_Active)
        return;
    m_Active = active;
    if (active) {
        if (m_owner)
            m_owner->installEventFilter(this);
    } else if (m_owner) {
        m_owner->removeEventFilter(this);
    }
    showIconWhenReady();
}

void TLMDTrayIcon::SetHint(const QString &hint)
{
    m_Hint = hint;
    m_tray->setToolTip(hint);
}

void TLMDTrayIcon::SetIcon(const QIcon &icon)
{
    m_Icon = icon;
    m_tray->setIcon(icon);
    showIconWhenReady();
}

void TLMDTrayIcon::SetPopUpMenu(QMenu *menu)
{
    m_PopUpMenu = menu;
    m_tray->setContextMenu(menu);
}

bool TLMDTrayIcon::canHideToTray() const
{
    return m_Active && m_owner && m_tray->isVisible() && m_trayAvailable();
}

QIcon TLMDTrayIcon::programIcon(const QString &folder)
{
    QList<std::pair<QString, QSize>> files;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString file = QDir(folder).filePath(QStringLiteral("norlplayer-%1.png").arg(size));
        if (QFileInfo::exists(file))
            files.push_back({file, QSize(size, size)});
    }
    return iconFromFiles(files);
}

bool TLMDTrayIcon::statusNotifierHostOnSessionBus()
{
    return statusNotifierHostRunning(QDBusConnection::sessionBus());
}

bool TLMDTrayIcon::statusNotifierHostRunning(const QDBusConnection &bus)
{
    static const QString Watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(Watcher))
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        Watcher, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << Watcher << QStringLiteral("IsStatusNotifierHostRegistered");
    // A bus that does not answer soon must not hold up the start.
    const QDBusReply<QDBusVariant> reply = bus.call(get, QDBus::Block, 2000);
    return reply.isValid() && reply.value().variant().toBool();
}

// An icon without a picture would be an empty, unclickable spot in the tray. The icon is shown
// even when there is no tray yet, so that it docks when one appears.
void TLMDTrayIcon::showIconWhenReady()
{
    m_tray->setVisible(m_Active && !m_Icon.isNull());
    setOffTaskbar(canHideToTray());
}

// A tool window has no taskbar button on the desktops we know; the window's other flags (the
// frameless look) stay as they are.
void TLMDTrayIcon::setOffTaskbar(bool off)
{
    if (!m_owner || !m_owner->isWindow() || off == m_offTaskbar)
        return;
    const Qt::WindowFlags flags = m_owner->windowFlags();
    if (off)
        m_ownerType = flags & Qt::WindowType_Mask;
    const Qt::WindowFlags type = off ? Qt::WindowFlags(Qt::Tool) : m_ownerType;
    const bool visible = m_owner->isVisible();
    // Tool windows do not end the program when closed; the owner keeps its own say.
    const bool quitOnClose = m_owner->testAttribute(Qt::WA_QuitOnClose);
    m_owner->setWindowFlags((flags & ~Qt::WindowType_Mask) | type);
    m_owner->setAttribute(Qt::WA_QuitOnClose, quitOnClose);
    // Changing the flags hides the window.
    if (visible)
        m_owner->setVisible(true);
    m_offTaskbar = off;
}

bool TLMDTrayIcon::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_owner)
        return false;
    if (event->type() == QEvent::WindowStateChange && m_owner->isMinimized()) {
        // Hiding now would be undone: showMinimized() shows the window after the state change.
        QTimer::singleShot(0, this, &TLMDTrayIcon::hideMinimisedOwner);
    } else if (event->type() == QEvent::Close && m_NoClose && canHideToTray()) {
        event->ignore();
        m_owner->hide();
        return true;
    }
    return false;
}

void TLMDTrayIcon::hideMinimisedOwner()
{
    if (!m_Active || !m_owner || !m_owner->isMinimized() || !m_owner->isVisible())
        return;
    // Without a way back through the tray the window stays minimised, with its taskbar button
    // back if the tray went away; a tray that came after the start takes the button from now on.
    if (canHideToTray())
        m_owner->hide();
    setOffTaskbar(canHideToTray());
}

void TLMDTrayIcon::trayActivated(QSystemTrayIcon::ActivationReason reason)
{
    Qt::MouseButton button = Qt::LeftButton;
    switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick:
        break;
    case QSystemTrayIcon::Context:
        button = Qt::RightButton;
        break;
    case QSystemTrayIcon::MiddleClick:
        button = Qt::MiddleButton;
        break;
    case QSystemTrayIcon::Unknown:
        return;
    }
    const QPoint at = QCursor::pos();
    const Qt::KeyboardModifiers shift = QGuiApplication::keyboardModifiers();
    const bool doubleClick = reason == QSystemTrayIcon::DoubleClick ||
                             (reason == QSystemTrayIcon::Trigger && m_activationsOnly);
    if (doubleClick)
        emit OnDblClick(this);
    emit OnMouseDown(this, button, shift, at.x(), at.y(), doubleClick);
    if (button == Qt::RightButton && m_PopUpMenu)
        emit OnPopUp(this);
    emit OnClick(this);
    emit OnMouseUp(this, button, shift, at.x(), at.y());
}
