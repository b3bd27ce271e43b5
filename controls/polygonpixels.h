// Which pixels a polygon covers, decided here rather than by the paint engine, so that small
// shapes come out the same everywhere and a shape with no area fills nothing.
//
// Pixel (x, y) stands for the point (x, y). Filled: the points inside, by the even-odd rule, with
// the top and left edges inside and the bottom and right edges outside (so a 10 x 10 square
// fills 10 x 10 pixels). Outlined: the closed chain of one-pixel lines through the points, both
// ends of every line included.
#pragma once

#include <QPolygon>
#include <vector>

// `length` pixels from (x, y) to the right.
struct PixelRun {
    int y = 0;
    int x = 0;
    int length = 0;
    friend bool operator==(const PixelRun &, const PixelRun &) = default;
};

// Sorted by y, then x; runs on one row neither touch nor overlap.
using PixelRuns = std::vector<PixelRun>;

PixelRuns filledPixels(const QPolygon &polygon);
PixelRuns outlinedPixels(const QPolygon &polygon);
// Fill and outline together, as a shape drawn with both a brush and a pen.
PixelRuns paintedPixels(const QPolygon &polygon);

int pixelCount(const PixelRuns &runs);
