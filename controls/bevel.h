// TLMDBevel: the frame a control draws inside its own rectangle. It paints, hands back the
// rectangle left inside it, and reports its total width, so a control can measure itself around the
// frame.
//
// Standard mode: one predefined style. Custom mode, from the outside in: an outer bevel line,
// BorderWidth frames, an inner bevel line, BorderInnerWidth frames. Frames are one pixel each in
// BorderColor and are left out on a transparent control (the parent shows there instead).
#pragma once

#include <QColor>
#include <QObject>
#include <QRect>

class QPainter;

class TLMDBevel : public QObject {
    Q_OBJECT
public:
    enum TLMDBevelMode { bmStandard, bmCustom };
    Q_ENUM(TLMDBevelMode)
    // One-pixel lines, or two for lsLowered and lsRaised (a line of each shade, Windows-style).
    enum TLMDStandardStyle {
        lsNone,
        lsSingle,
        lsSingleLowered,
        lsSingleRaised,
        lsLowered,
        lsRaised
    };
    Q_ENUM(TLMDStandardStyle)
    enum TBevelCut { bvNone, bvLowered, bvRaised };
    Q_ENUM(TBevelCut)

private:
    Q_PROPERTY(TLMDBevelMode Mode READ Mode WRITE SetMode NOTIFY Changed)
    Q_PROPERTY(
        TLMDStandardStyle StandardStyle READ StandardStyle WRITE SetStandardStyle NOTIFY Changed)
    Q_PROPERTY(TBevelCut StyleOuter READ StyleOuter WRITE SetStyleOuter NOTIFY Changed)
    Q_PROPERTY(TBevelCut StyleInner READ StyleInner WRITE SetStyleInner NOTIFY Changed)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth NOTIFY Changed)
    Q_PROPERTY(int BorderInnerWidth READ BorderInnerWidth WRITE SetBorderInnerWidth NOTIFY Changed)
    Q_PROPERTY(QColor BorderColor READ BorderColor WRITE SetBorderColor NOTIFY Changed)

public:
    explicit TLMDBevel(QObject *parent = nullptr);

    TLMDBevelMode Mode() const { return m_mode; }
    void SetMode(TLMDBevelMode value);
    TLMDStandardStyle StandardStyle() const { return m_standardStyle; }
    void SetStandardStyle(TLMDStandardStyle value);
    TBevelCut StyleOuter() const { return m_styleOuter; }
    void SetStyleOuter(TBevelCut value);
    TBevelCut StyleInner() const { return m_styleInner; }
    void SetStyleInner(TBevelCut value);
    // Widths below 0 count as 0.
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int value);
    int BorderInnerWidth() const { return m_borderInnerWidth; }
    void SetBorderInnerWidth(int value);
    QColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(QColor value);

    // Pixels the frame takes on each side.
    int TotalWidth() const;
    // The rectangle inside the frame; empty when the frame fills `rect`.
    QRect InnerRect(const QRect &rect) const;
    // Paints the frame inside `rect` and returns InnerRect(rect).
    QRect Paint(QPainter &painter, const QRect &rect, bool transparent) const;

signals:
    void Changed();

private:
    template <typename T> void Set(T &field, T value);

    TLMDBevelMode m_mode = bmStandard;
    TLMDStandardStyle m_standardStyle = lsNone;
    TBevelCut m_styleOuter = bvNone;
    TBevelCut m_styleInner = bvNone;
    int m_borderWidth = 0;
    int m_borderInnerWidth = 0;
    QColor m_borderColor{0xc0, 0xc0, 0xc0};
};
