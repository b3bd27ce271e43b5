// Keeping a window where it can be reached: a stored position can lie beyond every screen once a
// monitor is unplugged, and a frameless window has no title bar to pull it back with.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

class QWidget;

// Where `window` goes so that it lies on one of `areas` (the screens' available areas, the
// primary screen's first). It stays where it is when it lies whole on one; otherwise it moves the
// least way onto the area it overlaps most, or onto the first area when it overlaps none. A
// window larger than its area keeps the area's top left corner in view.
QPoint placeOnScreens(const QRect &window, const QList<QRect> &areas);

// Moves `window` onto the available area of the screens there are now.
void keepOnScreen(QWidget &window);
