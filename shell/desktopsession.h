// What the desktop session gives a frameless window, which differs between X11 and Wayland: who
// draws its shape, and whether a minimised window can be got back.
#pragma once

#include <QString>

namespace DesktopSession {

// True when the program's windows live on a Wayland compositor (Qt's platform "wayland" or
// "wayland-egl"). There a window's shape is its alpha channel, a client cannot place or raise
// itself, and the compositor tells nothing of a taskbar.
bool isWayland(const QString &platformName);
bool isWayland();

// Whether a minimised window has a way back without the tray: on X11 the window manager's
// taskbar; on Wayland only the window list of a full desktop, named in `currentDesktop`
// ($XDG_CURRENT_DESKTOP, a colon-separated list).
bool minimisedWindowReturns(const QString &platformName, const QString &currentDesktop);

enum class HideAction { HideToTray, Minimise, Stay };
// What the hide button does: a window is never minimised where nothing gives it back.
HideAction hideAction(bool canHideToTray, bool minimisedReturns);

} // namespace DesktopSession
