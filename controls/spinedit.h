// A whole-number spin field whose text may be typed freely within its character rules and is
// only brought into range when it is set or when focus leaves it.
#pragma once

#include <QAbstractSpinBox>

#include "spinrules.h"

class TRzSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
    // A floating-point property so that settings store it as a number text such as "8".
    Q_PROPERTY(double Value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(int Min READ minimum WRITE setMinimum)
    Q_PROPERTY(int Max READ maximum WRITE setMaximum)
    Q_PROPERTY(int Increment READ increment WRITE setIncrement)
    Q_PROPERTY(int PageSize READ pageSize WRITE setPageSize)
    Q_PROPERTY(QString Text READ text WRITE setText)

public:
    explicit TRzSpinEdit(QWidget *parent = nullptr);

    // The number in the text as typed, not clamped.
    double value() const;
    // Clamped to the range and rounded to a whole number; not-a-number is ignored.
    void setValue(double value);
    void setText(const QString &text);

    int minimum() const { return m_rules.minimum(); }
    int maximum() const { return m_rules.maximum(); }
    int increment() const { return m_rules.increment(); }
    int pageSize() const { return m_rules.pageSize(); }
    void setMinimum(int minimum);
    void setMaximum(int maximum);
    void setIncrement(int increment);
    void setPageSize(int pageSize);

    void stepBy(int steps) override;
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;

signals:
    void valueChanged(double value);

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int currentValue() const { return m_rules.valueOfText(text()); }
    void showValue(int value);
    void reportValue();
    void applyRange();

    SpinRules m_rules;
    int m_reportedValue = 0;
    int m_wheelRemainder = 0;
};
