// TLMDLED: the segment sizes and colours of an LED display, the image of one unlit cell, and the
// drawing of a text in cells. It tells its owner about every change through Changed(), held back
// while an update bracket is open.
#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>

#include "ledglyphs.h"
#include "polygonpixels.h"

class QPainter;

class TLMDLED : public QObject {
    Q_OBJECT
    Q_PROPERTY(QColor ActiveColor READ ActiveColor WRITE SetActiveColor NOTIFY Changed)
    Q_PROPERTY(QColor InActiveColor READ InActiveColor WRITE SetInActiveColor NOTIFY Changed)
    Q_PROPERTY(int Horzsize READ Horzsize WRITE SetHorzsize NOTIFY Changed)
    Q_PROPERTY(int Vertsize READ Vertsize WRITE SetVertsize NOTIFY Changed)
    Q_PROPERTY(int Thickness READ Thickness WRITE SetThickness NOTIFY Changed)
    Q_PROPERTY(bool DisabledDigits READ DisabledDigits WRITE SetDisabledDigits NOTIFY Changed)

public:
    explicit TLMDLED(QObject *parent = nullptr);

    // Copies sizes, colours and DisabledDigits (not BackColor), then notifies once.
    void Assign(const TLMDLED &source);

    QColor ActiveColor() const { return m_activeColor; }
    void SetActiveColor(QColor value);
    QColor InActiveColor() const { return m_inActiveColor; }
    void SetInActiveColor(QColor value);
    // The sizes are bytes: values are clamped to 0..255.
    int Horzsize() const { return m_sizes.horz; }
    void SetHorzsize(int value);
    int Vertsize() const { return m_sizes.vert; }
    void SetVertsize(int value);
    int Thickness() const { return m_sizes.thickness; }
    void SetThickness(int value);
    // A disabled owner shows only the unlit pattern when this is set.
    bool DisabledDigits() const { return m_disabledDigits; }
    void SetDisabledDigits(bool value);
    // The cell background, alpha included; the owning label sets it to its own colour, or to
    // transparent when its parent shows through.
    QColor BackColor() const { return m_backColor; }
    void SetBackColor(QColor value);

    // Changes inside a bracket notify once, when the outermost bracket closes.
    void BeginUpdate();
    void EndUpdate();

    LedGlyphs::Sizes Sizes() const { return m_sizes; }
    QSize CellSize() const { return LedGlyphs::cellSize(m_sizes); }
    const LedGlyphs::SegmentPolygons &Polygons() const { return m_polygons; }
    // The pixels a lit segment covers (outline and fill) and those an unlit one covers (fill).
    const PixelRuns &LitPixels(int segment) const { return m_litPixels[size_t(segment)]; }
    const PixelRuns &UnlitPixels(int segment) const { return m_unlitPixels[size_t(segment)]; }

    // One cell with every segment drawn unlit; built on first use after a change.
    QImage CellImage();
    void BuildCellImage();

    // Draws `text` in cells from rect's top-left corner; with `draw` false it only counts the
    // lines and columns. `canvas` may be null when not drawing.
    void DrawText(QPainter *canvas, const QRect &rect, const QString &text, bool enabled,
                  bool draw);
    QRect MeasureText(const QString &text, int bevelWidth) const;

    // What the last DrawText saw.
    QString LastText() const { return m_lastText; }
    int LineCount() const { return m_lineCount; }
    int ColumnCount() const { return m_columnCount; }

    // While blinking, every other drawing leaves all segments unlit, starting with a lit one.
    bool Blinking() const { return m_blinking; }
    void SetBlinking(bool value);

signals:
    void Changed();

private:
    void SetColour(QColor &colour, QColor value);
    void SetSize(int &size, int value);
    void Rebuild();
    void Notify();

    QColor m_activeColor{0x00, 0xff, 0x00};
    QColor m_inActiveColor{0x00, 0x80, 0x00};
    QColor m_backColor{Qt::black};
    LedGlyphs::Sizes m_sizes;
    bool m_disabledDigits = true;
    LedGlyphs::SegmentPolygons m_polygons;
    std::array<PixelRuns, LedGlyphs::SegmentCount> m_litPixels;
    std::array<PixelRuns, LedGlyphs::SegmentCount> m_unlitPixels;
    QImage m_cellImage;
    bool m_cellImageStale = true;
    QString m_lastText;
    int m_lineCount = 1;
    int m_columnCount = 1;
    bool m_blinking = false;
    bool m_blinkPhaseLit = true;
    int m_updateDepth = 0;
    bool m_changePending = false;
};
