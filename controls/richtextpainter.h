// Drawing laid-out rich text: one line record at a time, from the style recorded for it, so that
// a paint can start at any line.
#pragma once

#include <QColor>
#include <QPainter>
#include <QString>

#include "richtextlayout.h"

struct RichTextPaintSettings {
    QString caption;
    int accelIndex = 0; // the accelerator "&": left out, the character after it underlined
    RichTextGeometry::HorizontalPlacement place;
    int lineHeight = 1;
    int baselineOffset = 0;     // from a line's top
    std::int64_t tabOrigin = 0; // tab stops count from here
    std::int64_t tabStep = 0;
    QColor text;
    QColor highlight;
    QColor highlightBackgnd; // invalid: highlighted text has no background
    bool enabled = true;     // disabled: all text in `text`, even highlighted
};

// Draws `line` with its top at `top`: text on the baseline, tabs to the next stop (the gap filled
// with the highlight colour while highlighting), code 16 as dashes to the area's right edge, and
// blanks from justify-from on stretched when the placement justifies the line.
void paintRichTextLine(QPainter &painter, const RichTextFonts &fonts,
                       const RichTextPaintSettings &settings, const LineRecord &line, int top);
