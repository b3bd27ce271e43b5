#include "skinfile.h"

#include <QFile>

#include "integertext.h"

namespace {

constexpr qsizetype MaxValueLength = 2047;

QString trimmedValue(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
        value = value.mid(1, value.size() - 2);
    return value.left(MaxValueLength);
}

} // namespace

SkinFile::SkinFile(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        parse(file.readAll());
}

SkinFile SkinFile::fromText(const QByteArray &text)
{
    SkinFile file;
    file.parse(text);
    return file;
}

void SkinFile::parse(const QByteArray &text)
{
    bool inSkin = false;
    bool skinRead = false; // a later section of the same name is not read
    const QString all = QString::fromLocal8Bit(text);
    for (QStringView line : QStringView(all).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            const QStringView name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            skinRead = skinRead || inSkin;
            inSkin = !skinRead && name.compare(QLatin1String("Skin"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inSkin || equals <= 0 || line.startsWith(QLatin1Char(';')))
            continue;
        const QString key = line.left(equals).trimmed().toString().toLower();
        if (!m_values.contains(key))
            m_values.insert(key, trimmedValue(line.mid(equals + 1).toString()));
    }
}

QString SkinFile::readString(const QString &key, const QString &defaultValue) const
{
    return m_values.value(key.toLower(), defaultValue);
}

int SkinFile::readInteger(const QString &key, int defaultValue) const
{
    const auto found = m_values.find(key.toLower());
    if (found == m_values.end())
        return defaultValue;
    return parseInteger(*found).value_or(defaultValue);
}

std::optional<int> SkinFile::parseInteger(const QString &text)
{
    try {
        return StrToInt(text);
    } catch (const std::exception &) {
        return std::nullopt;
    }
}
