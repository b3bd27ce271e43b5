// Properties as the text a setting is stored as, and back: found by name without regard to
// case through the meta-object system, converted by the property's kind.
#pragma once

#include <QObject>
#include <QString>
#include <optional>

bool HasProperty(const QObject &object, const QString &property);
// The property's value text; nothing when the object has no such property.
std::optional<QString> PropertyToText(const QObject &object, const QString &property);
// Sets the property from its text the way code would set it (its setter runs). False when the
// property is missing, the text does not convert, or the text leaves the property as it was
// by rule (empty text for numbers and flags).
bool TextToProperty(QObject &object, const QString &property, const QString &text);
