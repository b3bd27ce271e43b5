// A check of a BMP file's headers against its size: the decoder paints a bitmap whose pixel
// data is cut short in black rather than refusing it.
#pragma once

#include <QByteArray>

namespace BitmapFile {

// Enough of the file's start for every header this check reads.
constexpr int HeadSize = 54;

// Whether a BMP file of `fileSize` bytes that starts with `head` holds all the pixel data its
// headers promise. A file that is not a BMP, or one whose layout this check does not know
// (compressed without a stated size), is left to the decoder.
bool holdsAllPixelData(const QByteArray &head, qint64 fileSize);

} // namespace BitmapFile
