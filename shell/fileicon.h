// An icon made of picture files that are read when it is first drawn, not when it is made. The
// program's icon is set on the application and the tray at start, where decoding seven PNG files
// (and loading the image plugins to find a reader) would hold up the first show.
#pragma once

#include <QIcon>
#include <QList>
#include <QSize>
#include <QString>
#include <utility>

// The files with the size each holds; null when the list is empty.
QIcon iconFromFiles(const QList<std::pair<QString, QSize>> &files);
