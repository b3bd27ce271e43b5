#include <QtTest>
#include <limits>

#include "spinrules.h"

namespace {
constexpr int intMax = std::numeric_limits<int>::max();
constexpr int intMin = std::numeric_limits<int>::min();

SpinRules fontSizeRules()
{
    SpinRules rules;
    rules.setMinimum(6);
    rules.setMaximum(12);
    return rules;
}
} // namespace

class tst_spinrules : public QObject {
    Q_OBJECT
private slots:
    void typedCharacters_data()
    {
        QTest::addColumn<QChar>("character");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("digit 0") << QChar(u'0') << true;
        QTest::newRow("digit 9") << QChar(u'9') << true;
        QTest::newRow("plus") << QChar(u'+') << true;
        QTest::newRow("minus") << QChar(u'-') << true;
        QTest::newRow("backspace") << QChar(u'\b') << true;
        QTest::newRow("ctrl+v") << QChar(char16_t(0x16)) << true;
        QTest::newRow("enter") << QChar(u'\r') << false;
        QTest::newRow("letter") << QChar(u'a') << false;
        QTest::newRow("blank") << QChar(u' ') << false;
        QTest::newRow("decimal point") << QChar(u'.') << false;
        QTest::newRow("arabic-indic three") << QChar(char16_t(0x0663)) << false;
    }
    void typedCharacters()
    {
        QFETCH(QChar, character);
        QFETCH(bool, accepted);
        QCOMPARE(SpinRules::acceptsCharacter(character), accepted);
    }

    void textToValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("asTyped");
        QTest::addColumn<int>("afterLeaving");
        QTest::newRow("in range") << "9" << 9 << 9;
        QTest::newRow("signed") << "+8" << 8 << 8;
        QTest::newRow("blanks around") << " 7 " << 7 << 7;
        QTest::newRow("above") << "20" << 20 << 12;
        QTest::newRow("below") << "3" << 3 << 6;
        QTest::newRow("negative") << "-3" << -3 << 6;
        QTest::newRow("empty") << "" << 6 << 6;
        QTest::newRow("sign alone") << "-" << 6 << 6;
        QTest::newRow("sign inside") << "1-2" << 6 << 6;
        QTest::newRow("two signs") << "--1" << 6 << 6;
        QTest::newRow("letters") << "abc" << 6 << 6;
        QTest::newRow("beyond int") << "99999999999999999999" << intMax << 12;
        QTest::newRow("beyond int, negative") << "-99999999999999999999" << intMin << 6;
    }
    void textToValue()
    {
        QFETCH(QString, text);
        QFETCH(int, asTyped);
        QFETCH(int, afterLeaving);
        const SpinRules rules = fontSizeRules();
        QCOMPARE(rules.valueOfText(text), asTyped);
        QCOMPARE(rules.valueOnLeaving(text), afterLeaving);
    }

    void stepping_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("expected");
        QTest::newRow("line up") << 6 << 12 << 8 << 1 << 0 << 9;
        QTest::newRow("line down") << 6 << 12 << 8 << -1 << 0 << 7;
        QTest::newRow("line at top") << 6 << 12 << 12 << 1 << 0 << 12;
        QTest::newRow("line at bottom") << 6 << 12 << 6 << -1 << 0 << 6;
        QTest::newRow("page up stops at top") << 6 << 12 << 8 << 0 << 1 << 12;
        QTest::newRow("page down stops at bottom") << 6 << 12 << 8 << 0 << -1 << 6;
        QTest::newRow("typed value above range") << 6 << 12 << 20 << -1 << 0 << 12;
        QTest::newRow("no overflow up") << 0 << intMax << intMax << 0 << 1 << intMax;
        QTest::newRow("no overflow down") << intMin << 0 << intMin << -intMax << 0 << intMin;
        QTest::newRow("many pages") << intMin << intMax << 0 << 0 << intMax << intMax;
    }
    void stepping()
    {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(int, lines);
        QFETCH(int, pages);
        QFETCH(int, expected);
        SpinRules rules;
        rules.setMinimum(minimum);
        rules.setMaximum(maximum);
        const int result =
            pages != 0 ? rules.steppedByPages(value, pages) : rules.steppedByLines(value, lines);
        QCOMPARE(result, expected);
    }

    void rangeNeverEmpty_data()
    {
        QTest::addColumn<bool>("minimumFirst");
        QTest::addColumn<int>("expectedMinimum");
        QTest::addColumn<int>("expectedMaximum");
        // From 6..12: a minimum of 20 pulls the maximum up, a maximum of 2 the minimum down.
        QTest::newRow("minimum above maximum") << true << 20 << 20;
        QTest::newRow("maximum below minimum") << false << 2 << 2;
    }
    void rangeNeverEmpty()
    {
        QFETCH(bool, minimumFirst);
        QFETCH(int, expectedMinimum);
        QFETCH(int, expectedMaximum);
        SpinRules rules = fontSizeRules();
        if (minimumFirst)
            rules.setMinimum(20);
        else
            rules.setMaximum(2);
        QCOMPARE(rules.minimum(), expectedMinimum);
        QCOMPARE(rules.maximum(), expectedMaximum);
        QCOMPARE(rules.clamp(7), expectedMinimum);
    }

    void stepSizesStayPositive()
    {
        SpinRules rules = fontSizeRules();
        rules.setIncrement(0);
        rules.setPageSize(-10);
        QCOMPARE(rules.steppedByLines(8, 1), 9);
        QCOMPARE(rules.steppedByPages(8, -1), 7);
    }
};

QTEST_GUILESS_MAIN(tst_spinrules)
#include "tst_spinrules.moc"
