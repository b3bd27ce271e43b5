// A flat or 3-D button that shows one frame of a glyph strip and takes no focus. Buttons of one
// parent that share a non-zero group index latch down in turn, like radio buttons; with
// AllowAllUp a latched one lets go when clicked again.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include "buttonglyph.h"

class TLMDSpeedButton : public QWidget {
    Q_OBJECT
    // Frames side by side; the bottom-left pixel's colour is transparent.
    Q_PROPERTY(QImage Glyph READ glyph WRITE setGlyph)
    Q_PROPERTY(int NumGlyphs READ numGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(bool Flat READ isFlat WRITE setFlat)
    Q_PROPERTY(int GroupIndex READ groupIndex WRITE setGroupIndex)
    Q_PROPERTY(bool AllowAllUp READ allowAllUp WRITE setAllowAllUp)
    Q_PROPERTY(bool Down READ isDown WRITE setDown NOTIFY downChanged)
    // Leaves the face unpainted so that the parent's background shows around the glyph.
    Q_PROPERTY(bool Transparent READ isTransparent WRITE setTransparent)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)

public:
    explicit TLMDSpeedButton(QWidget *parent = nullptr);

    QImage glyph() const { return m_glyph; }
    void setGlyph(const QImage &glyph);
    int numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int count);
    bool isFlat() const { return m_flat; }
    void setFlat(bool flat);
    int groupIndex() const { return m_groupIndex; }
    void setGroupIndex(int index);
    bool allowAllUp() const { return m_allowAllUp; }
    void setAllowAllUp(bool allow);
    bool isDown() const { return m_down; }
    // Refused for a button outside any group, and for letting go of the latched button of a
    // group that does not allow all up.
    void setDown(bool down);
    bool isTransparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    QColor color() const { return m_color; }
    void setColor(const QColor &color);

    // What a click with the mouse does, for the keyboard and screen readers; nothing when
    // disabled.
    void click();

    SpeedButtonLook look() const;
    QSize sizeHint() const override;

signals:
    void clicked();
    void downChanged(bool down);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void changeDown(bool down);
    void updateGroup();
    QList<TLMDSpeedButton *> groupMembers() const;

    QImage m_glyph;
    QImage m_shownGlyph; // m_glyph with its transparent colour made transparent
    int m_numGlyphs = 4;
    bool m_flat = false;
    int m_groupIndex = 0;
    bool m_allowAllUp = false;
    bool m_down = false;
    bool m_transparent = false;
    QColor m_color;
    bool m_pressed = false;       // the left button went down on us and is still held
    bool m_pointerInside = false; // while pressed
};
