// Small setters through which skins restyle stock widgets: one palette colour or the font face,
// leaving the rest of the palette and the font's size and style alone.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

class QWidget;

void setPaletteColor(QWidget &widget, QPalette::ColorRole role, const QColor &color);
void setFontFamily(QWidget &widget, const QString &family);
