// What screen readers see of the custom-drawn controls: a speed button is a button that can be
// pressed, a track bar a slider with a value, an LED label static text reading as its caption.
#pragma once

#include <QString>

class QObject;
class QWidget;

// Registers the controls' accessible interfaces with Qt; harmless to call again.
void installControlAccessibility();

// Tell screen readers that a control's value or text changed; nothing when none listens.
void notifyAccessibleValue(QObject *control, int value);
void notifyAccessibleText(QObject *control);
