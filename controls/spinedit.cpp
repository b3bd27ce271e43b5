#include "spinedit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>
#include <cmath>

TRzSpinEdit::TRzSpinEdit(QWidget *parent) : QAbstractSpinBox(parent)
{
    showValue(m_rules.minimum());
    m_reportedValue = currentValue();
    connect(lineEdit(), &QLineEdit::textChanged, this, &TRzSpinEdit::reportValue);
}

void TRzSpinEdit::reportValue()
{
    update(); // the arrows follow the value
    const int current = currentValue();
    if (current == m_reportedValue)
        return;
    m_reportedValue = current;
    emit valueChanged(double(current));
}

double TRzSpinEdit::value() const
{
    return double(currentValue());
}

void TRzSpinEdit::setValue(double value)
{
    if (std::isnan(value))
        return;
    const double bounded = std::clamp(value, double(minimum()), double(maximum()));
    showValue(int(std::lround(bounded)));
}

void TRzSpinEdit::setText(const QString &text)
{
    lineEdit()->setText(text);
}

void TRzSpinEdit::showValue(int value)
{
    setText(QString::number(value));
}

void TRzSpinEdit::setMinimum(int minimum)
{
    m_rules.setMinimum(minimum);
    applyRange();
}

void TRzSpinEdit::setMaximum(int maximum)
{
    m_rules.setMaximum(maximum);
    applyRange();
}

void TRzSpinEdit::setIncrement(int increment)
{
    m_rules.setIncrement(increment);
}

void TRzSpinEdit::setPageSize(int pageSize)
{
    m_rules.setPageSize(pageSize);
}

// A new range applies to the value at once, as any setting of the value does.
void TRzSpinEdit::applyRange()
{
    if (const std::optional<int> number = SpinRules::parse(text()))
        showValue(m_rules.clamp(*number));
    else
        update();
}

void TRzSpinEdit::stepBy(int steps)
{
    showValue(m_rules.steppedByLines(currentValue(), steps));
    selectAll();
}

QAbstractSpinBox::StepEnabled TRzSpinEdit::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    const int current = currentValue();
    StepEnabled enabled = StepNone;
    if (m_rules.canStepUp(current))
        enabled |= StepUpEnabled;
    if (m_rules.canStepDown(current))
        enabled |= StepDownEnabled;
    return enabled;
}

// Pasted or dropped text obeys the same character rules as typing.
QValidator::State TRzSpinEdit::validate(QString &input, int &) const
{
    for (QChar c : input)
        if (!SpinRules::acceptsCharacter(c) || c.unicode() < 0x20)
            return QValidator::Invalid;
    return QValidator::Acceptable;
}

void TRzSpinEdit::fixup(QString &input) const
{
    input = QString::number(m_rules.valueOnLeaving(input));
}

void TRzSpinEdit::keyPressEvent(QKeyEvent *event)
{
    const bool readOnly = isReadOnly();
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!readOnly)
            stepBy(event->key() == Qt::Key_Up ? 1 : -1);
        event->accept();
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (!readOnly) {
            showValue(
                m_rules.steppedByPages(currentValue(), event->key() == Qt::Key_PageUp ? 1 : -1));
            selectAll();
        }
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter types nothing; it belongs to the dialog's default button.
        event->ignore();
        return;
    default:
        break;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && !SpinRules::acceptsCharacter(typed.front())) {
        QApplication::beep();
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void TRzSpinEdit::wheelEvent(QWheelEvent *event)
{
    if (isReadOnly()) {
        event->ignore();
        return;
    }
    m_wheelRemainder += event->angleDelta().y();
    const int notches = m_wheelRemainder / QWheelEvent::DefaultDeltasPerStep;
    m_wheelRemainder -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0) {
        const int current = currentValue();
        showValue(event->modifiers() & Qt::ControlModifier
                      ? m_rules.steppedByPages(current, notches)
                      : m_rules.steppedByLines(current, notches));
    }
    event->accept();
}

void TRzSpinEdit::focusOutEvent(QFocusEvent *event)
{
    showValue(m_rules.valueOnLeaving(text()));
    QAbstractSpinBox::focusOutEvent(event);
}
