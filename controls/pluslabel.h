// TPlusLabel: a label whose caption switches bold (code 2), italic (1), underline (21), a
// highlight (3) and an alternate font (4) on and off inline, with tabs (9), hard breaks (13, an LF
// after it is skipped) and a dashed rule to the right edge (16). The caption is laid out once
// into line records; a paint draws only the lines that meet the area to repaint.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>
#include <memory>

#include "richtextlayout.h"

class TPlusLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(TAlignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(bool ShowAccelChar READ showAccelChar WRITE setShowAccelChar)
    Q_PROPERTY(bool Transparent READ isTransparent WRITE setTransparent)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(TTextLayout Layout READ textLayout WRITE setTextLayout)
    Q_PROPERTY(QFont AltFont READ altFont WRITE setAltFont)
    Q_PROPERTY(TBorderStyle BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(QColor HighlightColor READ highlightColor WRITE setHighlightColor)
    Q_PROPERTY(QColor HighlightBackgnd READ highlightBackgnd WRITE setHighlightBackgnd)
    Q_PROPERTY(bool Justified READ justified WRITE setJustified)
    Q_PROPERTY(int LeftMargin READ leftMargin WRITE setLeftMargin)
    Q_PROPERTY(int RightMargin READ rightMargin WRITE setRightMargin)
    Q_PROPERTY(int LeftOrigin READ leftOrigin WRITE setLeftOrigin)
    Q_PROPERTY(int TopOrigin READ topOrigin WRITE setTopOrigin)
    Q_PROPERTY(int LineHeight READ lineHeight WRITE setLineHeight)
    Q_PROPERTY(int TabStops READ tabStops WRITE setTabStops)

public:
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)
    enum TTextLayout { tlTop, tlCenter, tlBottom };
    Q_ENUM(TTextLayout)
    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)

    explicit TPlusLabel(QWidget *parent = nullptr);
    ~TPlusLabel() override;

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    TAlignment alignment() const { return m_alignment; }
    void setAlignment(TAlignment alignment);
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);
    // The background; the palette's window colour until one is set.
    QColor color() const;
    void setColor(const QColor &color);
    // The text colour: the palette's window text.
    QColor fontColor() const;
    void setFontColor(const QColor &color);
    bool showAccelChar() const { return m_showAccelChar; }
    void setShowAccelChar(bool show);
    bool isTransparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool wrap);
    TTextLayout textLayout() const { return m_textLayout; }
    void setTextLayout(TTextLayout layout);
    QFont altFont() const { return m_altFont; }
    void setAltFont(const QFont &font);
    TBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle style);
    QColor highlightColor() const { return m_highlightColor; }
    void setHighlightColor(const QColor &color);
    // A colour that is black (RGB 0) means highlighted text gets no background.
    QColor highlightBackgnd() const { return m_highlightBackgnd; }
    void setHighlightBackgnd(const QColor &color);
    bool justified() const { return m_justified; }
    void setJustified(bool justified);
    int leftMargin() const { return m_leftMargin; }
    void setLeftMargin(int margin);
    int rightMargin() const { return m_rightMargin; }
    void setRightMargin(int margin);
    int leftOrigin() const { return m_leftOrigin; }
    void setLeftOrigin(int origin);
    int topOrigin() const { return m_topOrigin; }
    void setTopOrigin(int origin);
    // The height of every line; setting 0 (or less) returns to the font's own height.
    int lineHeight() const;
    void setLineHeight(int height);
    bool isLineHeightAutomatic() const { return m_fixedLineHeight <= 0; }
    int tabStops() const { return m_tabStops; }
    void setTabStops(int stops);

    // The current layout.
    const TLL &lines() const;
    int widestLine() const;
    int accelIndex() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void measureFont();
    void relayout() const;
    // Lays out again when the text area's width changed under word wrap (a hidden widget is
    // resized without a resize event).
    void ensureLayout() const;
    void relayoutIfWrapping();
    void adjustToContents();
    QRect textArea() const;
    RichTextGeometry::HorizontalPlacement placement() const;

    QString m_caption;
    TAlignment m_alignment = taLeftJustify;
    bool m_autoSize = true;
    QColor m_color;
    bool m_showAccelChar = true;
    bool m_transparent = false;
    bool m_wordWrap = false;
    TTextLayout m_textLayout = tlTop;
    QFont m_altFont;
    TBorderStyle m_borderStyle = bsNone;
    QColor m_highlightColor = Qt::black;
    QColor m_highlightBackgnd = Qt::black;
    bool m_justified = false;
    int m_leftMargin = 0;
    int m_rightMargin = 0;
    int m_leftOrigin = 0;
    int m_topOrigin = 0;
    int m_fixedLineHeight = 0;
    int m_tabStops = 8;

    // Measured from Font.
    int m_fontLineHeight = 1;
    int m_fontDescent = 0;
    int m_tabUnit = 0;
    std::unique_ptr<RichTextFonts> m_fonts;

    mutable RichTextLayout m_laidOut;
    mutable int m_layoutAreaWidth = -1; // text area width of the last layout
};
