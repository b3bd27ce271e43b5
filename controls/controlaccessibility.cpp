#include "controlaccessibility.h"

#include <QAccessibleWidget>

#include "ledlabel.h"
#include "speedbutton.h"
#include "trackbar.h"

namespace {

class SpeedButtonAccessible : public QAccessibleWidget {
public:
    explicit SpeedButtonAccessible(QWidget *widget) : QAccessibleWidget(widget, QAccessible::Button)
    {
    }
    QString text(QAccessible::Text kind) const override
    {
        QString text = QAccessibleWidget::text(kind);
        // A glyph button's hint is the best name it has when none was given.
        if (kind == QAccessible::Name && text.isEmpty())
            text = widget()->toolTip();
        return text;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = button()->isDown();
        return state;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            button()->click();
    }

private:
    TLMDSpeedButton *button() const { return static_cast<TLMDSpeedButton *>(widget()); }
};

class TrackBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TrackBarAccessible(QWidget *widget) : QAccessibleWidget(widget, QAccessible::Slider) {}
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return QString::number(bar()->position());
        QString text = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && text.isEmpty())
            text = widget()->toolTip();
        return text;
    }
    QVariant currentValue() const override { return bar()->position(); }
    void setCurrentValue(const QVariant &value) override { bar()->setPosition(value.toInt()); }
    QVariant maximumValue() const override { return bar()->maxValue(); }
    QVariant minimumValue() const override { return bar()->minValue(); }
    QVariant minimumStepSize() const override { return bar()->lineSize(); }

private:
    TLMDTrackBar *bar() const { return static_cast<TLMDTrackBar *>(widget()); }
};

class LedLabelAccessible : public QAccessibleWidget {
public:
    explicit LedLabelAccessible(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::StaticText)
    {
    }
    QString text(QAccessible::Text kind) const override
    {
        const QString caption = static_cast<TLMDLEDLabel *>(widget())->Caption();
        if (kind == QAccessible::Value)
            return caption;
        QString text = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && text.isEmpty())
            text = caption;
        return text;
    }
};

QAccessibleInterface *controlAccessible(const QString &, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (qobject_cast<TLMDSpeedButton *>(object))
        return new SpeedButtonAccessible(widget);
    if (qobject_cast<TLMDTrackBar *>(object))
        return new TrackBarAccessible(widget);
    if (qobject_cast<TLMDLEDLabel *>(object))
        return new LedLabelAccessible(widget);
    return nullptr;
}

} // namespace

void installControlAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(controlAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

void notifyAccessibleValue(QObject *control, int value)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleValueChangeEvent event(control, value);
    QAccessible::updateAccessibility(&event);
}

void notifyAccessibleText(QObject *control)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(control, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}
