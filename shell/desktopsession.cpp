#include "desktopsession.h"

#include <QGuiApplication>
#include <QStringList>

namespace DesktopSession {

bool isWayland(const QString &platformName)
{
    return platformName.startsWith(QLatin1String("wayland"));
}

bool isWayland()
{
    return isWayland(QGuiApplication::platformName());
}

bool minimisedWindowReturns(const QString &platformName, const QString &currentDesktop)
{
    if (!isWayland(platformName))
        return true;
    // Desktops whose panel or overview lists every window, minimised ones included.
    static const QStringList withWindowList = {
        QStringLiteral("GNOME"),  QStringLiteral("KDE"),        QStringLiteral("XFCE"),
        QStringLiteral("LXQt"),   QStringLiteral("X-Cinnamon"), QStringLiteral("MATE"),
        QStringLiteral("Budgie"), QStringLiteral("Unity"),      QStringLiteral("Pantheon")};
    const QStringList names = currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return std::any_of(names.begin(), names.end(), [](const QString &name) {
        return withWindowList.contains(name, Qt::CaseInsensitive);
    });
}

HideAction hideAction(bool canHideToTray, bool minimisedReturns)
{
    if (canHideToTray)
        return HideAction::HideToTray;
    return minimisedReturns ? HideAction::Minimise : HideAction::Stay;
}

} // namespace DesktopSession
