#include "keyfiletext.h"

#include <QStringList>

namespace {

const QChar Newline = QLatin1Char('\n');

struct KeyLine {
    QString key;
    QString rawValue;
};

// The group a header line opens; nothing for any other line.
std::optional<QString> groupHeader(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith(QLatin1Char('[')) ||
        !trimmed.endsWith(QLatin1Char(']')))
        return std::nullopt;
    return trimmed.mid(1, trimmed.size() - 2);
}

bool isBlankOrComment(const QString &line)
{
    const QString trimmed = line.trimmed();
    return trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'));
}

std::optional<KeyLine> keyLine(const QString &line)
{
    if (isBlankOrComment(line) || groupHeader(line))
        return std::nullopt;
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0)
        return std::nullopt;
    QString rawValue = line.mid(equals + 1);
    qsizetype begin = 0;
    while (begin < rawValue.size() &&
           (rawValue.at(begin) == QLatin1Char(' ') || rawValue.at(begin) == QLatin1Char('\t')))
        ++begin;
    rawValue = rawValue.mid(begin);
    if (rawValue.endsWith(QLatin1Char('\r')))
        rawValue.chop(1);
    return KeyLine{line.left(equals).trimmed(), rawValue};
}

// The line index of the first header of `group`, or -1.
qsizetype findGroup(const QStringList &lines, const QString &group)
{
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (groupHeader(lines.at(i)) == group)
            return i;
    return -1;
}

} // namespace

namespace KeyFileText {

std::optional<QString> value(const QString &text, const QString &group, const QString &key)
{
    const QStringList lines = text.split(Newline);
    const qsizetype header = findGroup(lines, group);
    if (header < 0)
        return std::nullopt;
    for (qsizetype i = header + 1; i < lines.size() && !groupHeader(lines.at(i)); ++i) {
        const std::optional<KeyLine> entry = keyLine(lines.at(i));
        if (entry && entry->key == key)
            return unescaped(entry->rawValue);
    }
    return std::nullopt;
}

QString withValue(const QString &text, const QString &group, const QString &key,
                  const QString &value)
{
    const QString newLine = key + QLatin1Char('=') + escaped(value);
    QStringList lines = text.split(Newline);
    const qsizetype header = findGroup(lines, group);
    if (header < 0) {
        QString result = text;
        if (!result.isEmpty() && !result.endsWith(Newline))
            result += Newline;
        if (!result.isEmpty())
            result += Newline;
        return result + QLatin1Char('[') + group + QStringLiteral("]\n") + newLine + Newline;
    }
    qsizetype lastEntry = header;
    bool replaced = false;
    for (qsizetype i = header + 1; i < lines.size() && !groupHeader(lines.at(i)); ++i) {
        const std::optional<KeyLine> entry = keyLine(lines.at(i));
        if (entry && entry->key == key) {
            lines[i] = newLine;
            replaced = true;
        }
        if (!isBlankOrComment(lines.at(i)))
            lastEntry = i;
    }
    if (!replaced)
        lines.insert(lastEntry + 1, newLine);
    return lines.join(Newline);
}

QString escaped(const QString &value)
{
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\'))
            result += QStringLiteral("\\\\");
        else if (c == Newline)
            result += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            result += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            result += QStringLiteral("\\r");
        else if (c == QLatin1Char(' ') && i == 0)
            result += QStringLiteral("\\s");
        else
            result += c;
    }
    return result;
}

QString unescaped(const QString &value)
{
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            result += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            result += QLatin1Char(' ');
            break;
        case 'n':
            result += Newline;
            break;
        case 't':
            result += QLatin1Char('\t');
            break;
        case 'r':
            result += QLatin1Char('\r');
            break;
        case '\\':
            result += QLatin1Char('\\');
            break;
        default: // not an escape: both characters stand
            result += c;
            result += next;
        }
    }
    return result;
}

} // namespace KeyFileText
