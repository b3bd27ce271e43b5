#include "iniout.h"

#include "propertytext.h"

namespace {

::RegistryRoot storeRoot(TIniOut::TRegRoots root)
{
    return static_cast<::RegistryRoot>(int(root));
}

QString trimmedField(const QString &field)
{
    qsizetype begin = 0, end = field.size();
    while (begin < end && field.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && field.at(end - 1).unicode() <= 32)
        --end;
    return field.mid(begin, end - begin);
}

} // namespace

TIniOut::TIniOut(QObject *form, RegistryStore &store) : QObject(form), m_form(form), m_store(store)
{
}

void TIniOut::SetFileName(const QString &value)
{
    // The extension follows the last dot after the last path separator or drive colon.
    qsizetype lastSeparator =
        std::max({value.lastIndexOf(QLatin1Char('\\')), value.lastIndexOf(QLatin1Char('/')),
                  value.lastIndexOf(QLatin1Char(':'))});
    qsizetype dot = value.lastIndexOf(QLatin1Char('.'));
    QString base = dot > lastSeparator ? value.left(dot) : value;
    m_FileName = (base + QStringLiteral(".INI")).toUpper();
}

QString TIniOut::ExtractField(const QString &line, int number)
{
    const QStringList fields = line.split(QLatin1Char(';'));
    if (number < 1 || number > fields.size())
        return QString();
    return trimmedField(fields.at(number - 1));
}

bool TIniOut::IsItemLine(const QString &line)
{
    for (int field : {1, 2, 4, 5})
        if (!ExtractField(line, field).isEmpty())
            return true;
    return false;
}

QObject *TIniOut::resolveComponent(const QString &name) const
{
    if (name == m_form->objectName())
        return m_form;
    const QList<QObject *> children = m_form->findChildren<QObject *>();
    for (QObject *child : children)
        if (child->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return child;
    return nullptr;
}

void TIniOut::LoadFromRegistry()
{
    for (const QString &line : std::as_const(m_Items)) {
        if (!IsItemLine(line))
            continue;
        QObject *component = resolveComponent(ExtractField(line, 1));
        const QString property = ExtractField(line, 2);
        if (!component || !HasProperty(*component, property))
            continue;
        try {
            std::optional<RegistryValue> stored;
            if (m_store.keyExists(storeRoot(m_RegistryRoot), ExtractField(line, 4)))
                stored = m_store.readValue(storeRoot(m_RegistryRoot), ExtractField(line, 4),
                                           ExtractField(line, 5));
            if (!stored) {
                TextToProperty(*component, property, ExtractField(line, 3));
            } else if (stored->type != RegistryValueType::Other) {
                // Registry strings end at their first NUL.
                TextToProperty(*component, property, stored->data.section(QChar(0), 0, 0));
            }
        } catch (...) {
            // A setter that refuses the value leaves this one item as it was.
        }
    }
}

void TIniOut::SaveToRegistry()
{
    const RegistryBatch batch(m_store);
    for (const QString &line : std::as_const(m_Items)) {
        if (!IsItemLine(line) || ExtractField(line, 7) == QLatin1String("1"))
            continue;
        QObject *component = resolveComponent(ExtractField(line, 1));
        if (!component)
            continue;
        try {
            std::optional<QString> text = PropertyToText(*component, ExtractField(line, 2));
            const QString key = ExtractField(line, 4);
            if (!text || !m_store.createKey(storeRoot(m_RegistryRoot), key))
                continue;
            m_store.writeValue(storeRoot(m_RegistryRoot), key, ExtractField(line, 5),
                               {RegistryValueType::String, *text});
        } catch (...) {
            // A getter that fails leaves this one value unwritten.
        }
    }
}
