// A picture of the main window dressed in a skin, for judging the art without the program: the
// glyphs, thumbs and sample texts at their places, and the cut-away parts in black.
#pragma once

#include <QImage>

#include "skinfiles.h"

QImage skinPreview(const SkinTheme &theme, const SkinPictures &pictures);
