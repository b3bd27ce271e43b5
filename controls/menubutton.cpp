#include "menubutton.h"

#include "widgetlook.h"

TRzMenuButton::TRzMenuButton(QWidget *parent) : QPushButton(parent) {}

void TRzMenuButton::setDropDownMenu(QMenu *menu)
{
    // QPushButton opens the menu below itself (above when the screen ends first) and keeps
    // itself drawn down while the menu is open.
    setMenu(menu);
}

QColor TRzMenuButton::color() const
{
    return palette().color(QPalette::Button);
}

void TRzMenuButton::setColor(const QColor &color)
{
    setPaletteColor(*this, QPalette::Button, color);
}

QColor TRzMenuButton::fontColor() const
{
    return palette().color(QPalette::ButtonText);
}

void TRzMenuButton::setFontColor(const QColor &color)
{
    setPaletteColor(*this, QPalette::ButtonText, color);
}

void TRzMenuButton::setFontName(const QString &family)
{
    setFontFamily(*this, family);
}
