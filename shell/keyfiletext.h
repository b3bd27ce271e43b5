// Freedesktop key files (desktop entries, mimeapps.list) as text: "[Group]" headers, "Key=Value"
// lines, "#" comments. Reading one value, and setting one value while every other line, comment
// and group stays exactly as it was.
#pragma once

#include <QString>
#include <optional>

namespace KeyFileText {

// The value of `key` in the first group named `group`, unescaped; nothing when either is absent.
// Keys and group names are compared exactly; blanks around "=" do not count.
std::optional<QString> value(const QString &text, const QString &group, const QString &key);

// `text` with `key` set to `value` in the first group named `group`: every line of that key in
// the group is rewritten; without one the key is added after the group's last entry; without the
// group, the group is added at the end.
QString withValue(const QString &text, const QString &group, const QString &key,
                  const QString &value);

// The escapes of a string value: backslash, newline, tab, carriage return, and a leading blank
// (which a reader would otherwise trim).
QString escaped(const QString &value);
QString unescaped(const QString &value);

} // namespace KeyFileText
