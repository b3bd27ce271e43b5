#include "screenplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

qint64 overlap(const QRect &a, const QRect &b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

// The start of a span of `length` moved the least way into [low, low + room).
int clampedStart(int start, int length, int low, int room)
{
    return std::max(low, std::min(start, low + room - length));
}

} // namespace

QPoint placeOnScreens(const QRect &window, const QList<QRect> &areas)
{
    if (areas.isEmpty() || std::any_of(areas.begin(), areas.end(),
                                       [&](const QRect &area) { return area.contains(window); }))
        return window.topLeft();
    const QRect *best = &areas.first();
    for (const QRect &area : areas)
        if (overlap(window, area) > overlap(window, *best))
            best = &area;
    return {clampedStart(window.x(), window.width(), best->x(), best->width()),
            clampedStart(window.y(), window.height(), best->y(), best->height())};
}

void keepOnScreen(QWidget &window)
{
    QList<QRect> areas;
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        areas << primary->availableGeometry();
    for (const QScreen *screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            areas << screen->availableGeometry();
    const QRect frame = window.frameGeometry();
    const QPoint place = placeOnScreens(frame, areas);
    if (place != frame.topLeft())
        window.move(place);
}
