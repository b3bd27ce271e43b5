// The rules of a whole-number spin field, apart from any widget: its range, its two step sizes,
// which typed characters it takes, and how its text turns into a value.
#pragma once

#include <QChar>
#include <QStringView>
#include <optional>

class SpinRules {
public:
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int increment() const { return m_increment; }
    int pageSize() const { return m_pageSize; }

    // The range never becomes empty: a minimum above the maximum pulls the maximum up with it,
    // and a maximum below the minimum pulls the minimum down.
    void setMinimum(int minimum);
    void setMaximum(int maximum);
    // Step sizes below 1 would make the arrows do nothing or run backwards; they become 1.
    void setIncrement(int increment);
    void setPageSize(int pageSize);

    // Digits, "+", "-" and control characters (editing keys) other than Enter.
    static bool acceptsCharacter(QChar c);
    // An optional sign followed by digits, surrounding blanks allowed; magnitudes beyond int
    // saturate. Anything else (an empty text included) is not a number.
    static std::optional<int> parse(QStringView text);

    int clamp(qint64 value) const;
    // The value of a text as typed, not clamped: empty or not a number reads as the minimum.
    int valueOfText(QStringView text) const;
    // What the field holds once focus leaves it: the nearer bound for an out-of-range number,
    // the minimum for anything that is not a number.
    int valueOnLeaving(QStringView text) const;
    // `value` moved by `lines` increments or `pages` page sizes, clamped.
    int steppedByLines(int value, int lines) const;
    int steppedByPages(int value, int pages) const;
    bool canStepUp(int value) const { return value < m_maximum; }
    bool canStepDown(int value) const { return value > m_minimum; }

private:
    int m_minimum = 0;
    int m_maximum = 100;
    int m_increment = 1;
    int m_pageSize = 10;
};
