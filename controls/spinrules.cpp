#include "spinrules.h"

#include <algorithm>
#include <limits>

void SpinRules::setMinimum(int minimum)
{
    m_minimum = minimum;
    m_maximum = std::max(m_maximum, minimum);
}

void SpinRules::setMaximum(int maximum)
{
    m_maximum = maximum;
    m_minimum = std::min(m_minimum, maximum);
}

void SpinRules::setIncrement(int increment)
{
    m_increment = std::max(increment, 1);
}

void SpinRules::setPageSize(int pageSize)
{
    m_pageSize = std::max(pageSize, 1);
}

bool SpinRules::acceptsCharacter(QChar c)
{
    const char16_t code = c.unicode();
    if (code >= u'0' && code <= u'9')
        return true;
    if (code == u'+' || code == u'-')
        return true;
    return code < 0x20 && code != u'\r';
}

std::optional<int> SpinRules::parse(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 magnitude = 0;
    for (QChar c : text) {
        if (c.unicode() < u'0' || c.unicode() > u'9')
            return std::nullopt;
        magnitude = std::min(magnitude * 10 + (c.unicode() - u'0'), limit);
    }
    const qint64 value = negative ? -magnitude : magnitude;
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

int SpinRules::clamp(qint64 value) const
{
    return int(std::clamp<qint64>(value, m_minimum, m_maximum));
}

int SpinRules::valueOfText(QStringView text) const
{
    return parse(text).value_or(m_minimum);
}

int SpinRules::valueOnLeaving(QStringView text) const
{
    const std::optional<int> number = parse(text);
    return number ? clamp(*number) : m_minimum;
}

int SpinRules::steppedByLines(int value, int lines) const
{
    return clamp(qint64(value) + qint64(lines) * m_increment);
}

int SpinRules::steppedByPages(int value, int pages) const
{
    return clamp(qint64(value) + qint64(pages) * m_pageSize);
}
