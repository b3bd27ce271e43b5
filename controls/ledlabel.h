// The LED label: a short text (or a number) drawn as sixteen-segment LED characters inside an
// optional frame. TLMDLEDCustomLabel is the control; TLMDLEDLabel publishes its text and value.
//
// The label paints a bitmap of its inner rectangle filled with Color; when Transparent, the
// background and the gaps of the unlit pattern let the parent show through instead.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include "bevel.h"
#include "led.h"

class TLMDLEDCustomLabel : public QWidget {
    Q_OBJECT
public:
    enum TLMDLEDStyle { lsString, lsInteger };
    Q_ENUM(TLMDLEDStyle)

private:
    Q_PROPERTY(bool Autosize READ Autosize WRITE SetAutosize)
    Q_PROPERTY(TLMDBevel *Bevel READ Bevel CONSTANT)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int Digits READ Digits WRITE SetDigits)
    Q_PROPERTY(TLMDLED *LED READ LED CONSTANT)
    Q_PROPERTY(TLMDLEDStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)

public:
    explicit TLMDLEDCustomLabel(QWidget *parent = nullptr);

    bool Autosize() const { return m_autosize; }
    void SetAutosize(bool value);
    TLMDBevel *Bevel() const { return m_bevel; }
    // The background of an opaque label.
    QColor Color() const { return m_color; }
    void SetColor(QColor value);
    // Width of a number in lsInteger style, 1..255; other values are refused.
    int Digits() const { return m_digits; }
    void SetDigits(int value);
    TLMDLED *LED() const { return m_led; }
    TLMDLEDStyle Style() const { return m_style; }
    void SetStyle(TLMDLEDStyle value);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);

    // The value in lsInteger style, the caption otherwise.
    QString DisplayText() const;
    // Sizes the control to its text and frame.
    void AdjustSize();

protected:
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &value);
    int Value() const { return m_value; }
    void SetValue(int value);

    void paintEvent(QPaintEvent *event) override;

private:
    // Runs after every change that alters the picture or the size.
    void Change();

    TLMDLED *m_led;
    TLMDBevel *m_bevel;
    bool m_autosize = false;
    QColor m_color{Qt::black};
    int m_digits = 2;
    TLMDLEDStyle m_style = lsString;
    bool m_transparent = false;
    QString m_caption;
    int m_value = 0;
    bool m_painting = false;
};

class TLMDLEDLabel : public TLMDLEDCustomLabel {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Value READ Value WRITE SetValue)

public:
    explicit TLMDLEDLabel(QWidget *parent = nullptr);

    using TLMDLEDCustomLabel::Caption;
    using TLMDLEDCustomLabel::SetCaption;
    using TLMDLEDCustomLabel::SetValue;
    using TLMDLEDCustomLabel::Value;
};
