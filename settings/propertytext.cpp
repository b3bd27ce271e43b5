#include "propertytext.h"

#include <QLocale>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QStringList>

namespace {

// Lists are stored with their lines joined by a vertical bar.
const QChar ListSeparator = QLatin1Char('|');

std::optional<QMetaProperty> findProperty(const QObject &object, const QString &name)
{
    const QMetaObject *meta = object.metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        QMetaProperty property = meta->property(i);
        if (name.compare(QLatin1String(property.name()), Qt::CaseInsensitive) == 0)
            return property;
    }
    return std::nullopt;
}

bool isInteger(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

QString enumText(const QMetaEnum &meta, int value)
{
    if (meta.isFlag()) {
        QStringList members;
        for (int i = 0; i < meta.keyCount(); ++i)
            if (meta.value(i) != 0 && (value & meta.value(i)) == meta.value(i))
                members << QLatin1String(meta.key(i));
        return QLatin1Char('[') + members.join(QLatin1Char(',')) + QLatin1Char(']');
    }
    const char *key = meta.valueToKey(value);
    if (!key && meta.keyCount() > 0) { // out of range: the type's lowest value
        int lowest = 0;
        for (int i = 1; i < meta.keyCount(); ++i)
            if (meta.value(i) < meta.value(lowest))
                lowest = i;
        key = meta.key(lowest);
    }
    return QLatin1String(key);
}

std::optional<int> enumValue(const QMetaEnum &meta, const QString &text)
{
    if (meta.isFlag()) {
        int value = 0;
        for (int i = 0; i < meta.keyCount(); ++i)
            if (text.contains(QLatin1String(meta.key(i))))
                value |= meta.value(i);
        return value;
    }
    for (int i = 0; i < meta.keyCount(); ++i)
        if (text.compare(QLatin1String(meta.key(i)), Qt::CaseInsensitive) == 0)
            return meta.value(i);
    return std::nullopt;
}

} // namespace

bool HasProperty(const QObject &object, const QString &name)
{
    return findProperty(object, name).has_value();
}

std::optional<QString> PropertyToText(const QObject &object, const QString &name)
{
    std::optional<QMetaProperty> property = findProperty(object, name);
    if (!property)
        return std::nullopt;
    QVariant value = property->read(&object);
    const int type = property->metaType().id();
    if (property->isEnumType())
        return enumText(property->enumerator(), value.toInt());
    if (type == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    if (isInteger(type))
        return value.toString();
    if (type == QMetaType::Double || type == QMetaType::Float)
        return QLocale::system().toString(value.toDouble(), 'g', 15);
    if (type == QMetaType::QChar)
        return QString(value.toChar());
    if (type == QMetaType::QString)
        return value.toString();
    if (type == QMetaType::QStringList)
        return value.toStringList().join(ListSeparator);
    return QString(); // kinds settings do not store
}

bool TextToProperty(QObject &object, const QString &name, const QString &text)
{
    std::optional<QMetaProperty> property = findProperty(object, name);
    if (!property || !property->isWritable())
        return false;
    const int type = property->metaType().id();
    QVariant value;
    if (property->isEnumType()) {
        std::optional<int> found = enumValue(property->enumerator(), text);
        if (!found)
            return false;
        value = *found;
    } else if (type == QMetaType::Bool) {
        if (text.isEmpty())
            return false;
        value = QStringLiteral("1TYty").contains(text.at(0));
    } else if (isInteger(type)) {
        bool ok = false;
        qlonglong number = text.toLongLong(&ok);
        if (!ok)
            return false;
        value = number;
    } else if (type == QMetaType::Double || type == QMetaType::Float) {
        bool ok = false;
        double number = QLocale::system().toDouble(text, &ok);
        if (!ok)
            return false;
        value = number;
    } else if (type == QMetaType::QChar) {
        if (text.isEmpty())
            return false;
        value = text.at(0);
    } else if (type == QMetaType::QString) {
        value = text;
    } else if (type == QMetaType::QStringList) {
        value = text.split(ListSeparator);
    } else {
        return false;
    }
    if (!property->isEnumType() && !value.convert(property->metaType()))
        return false;
    return property->write(&object, value);
}
