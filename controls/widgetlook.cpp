#include "widgetlook.h"

#include <QWidget>

void setPaletteColor(QWidget &widget, QPalette::ColorRole role, const QColor &color)
{
    QPalette changed = widget.palette();
    changed.setColor(role, color);
    widget.setPalette(changed);
}

void setFontFamily(QWidget &widget, const QString &family)
{
    QFont changed = widget.font();
    changed.setFamily(family);
    widget.setFont(changed);
}
