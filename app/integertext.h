// Whole numbers typed by the user (buffer sizes, the font size): decimal, or hexadecimal after
// "$" or "0x", with an optional sign and leading blanks.
#pragma once

#include <QString>

// Throws std::runtime_error "'<text>' is not a valid integer value" for anything else, or for
// a number outside the 32-bit range.
int StrToInt(const QString &text);
