// The main window's plain arithmetic and texts: typed integers, the elapsed time and its
// estimate after a seek, moving between rows, the quality line, and where the program may keep
// its own files.
#include <QRandomGenerator>
#include <QtTest>
#include <limits>
#include <stdexcept>

#include "elapsedtime.h"
#include "integertext.h"
#include "ownfiles.h"
#include "songrows.h"
#include "streamquality.h"

Q_DECLARE_METATYPE(ElapsedTime)

class tst_applogic : public QObject {
    Q_OBJECT

private slots:
    void integers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("decimal") << "8192" << 8192;
        QTest::newRow("leading zeros") << "007" << 7;
        QTest::newRow("plus") << "+12" << 12;
        QTest::newRow("minus") << "-12" << -12;
        QTest::newRow("minus zero") << "-0" << 0;
        QTest::newRow("leading blanks") << "   16384" << 16384;
        QTest::newRow("dollar hex") << "$1F" << 31;
        QTest::newRow("0x hex") << "0x4000" << 16384;
        QTest::newRow("0X hex, lower digits") << "0Xff" << 255;
        QTest::newRow("signed hex") << "-$10" << -16;
        QTest::newRow("largest") << "2147483647" << std::numeric_limits<int>::max();
        QTest::newRow("smallest") << "-2147483648" << std::numeric_limits<int>::min();
        QTest::newRow("largest hex") << "$7FFFFFFF" << std::numeric_limits<int>::max();
    }
    void integers()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(StrToInt(text), value);
    }

    void notIntegers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("letters") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("blanks only") << "   ";
        QTest::newRow("trailing blank") << "12 ";
        QTest::newRow("tab before") << "\t12";
        QTest::newRow("blank after the sign") << "- 5";
        QTest::newRow("sign only") << "-";
        QTest::newRow("two signs") << "+-5";
        QTest::newRow("prefix only") << "$";
        QTest::newRow("0x only") << "0x";
        QTest::newRow("hex digit in decimal") << "12a";
        QTest::newRow("no hex digit") << "$1G";
        QTest::newRow("sign after the prefix") << "0x-5";
        QTest::newRow("fraction") << "1.5";
        QTest::newRow("exponent") << "1e3";
        QTest::newRow("other script digits") << QString::fromUtf8("\u0661\u0662");
        QTest::newRow("full-width digits") << QString::fromUtf8("\uff11\uff12");
        QTest::newRow("one past largest") << "2147483648";
        QTest::newRow("one past smallest") << "-2147483649";
        QTest::newRow("hex beyond 32 bits") << "$100000000";
        QTest::newRow("very long") << "99999999999999999999999999";
    }
    void notIntegers()
    {
        QFETCH(QString, text);
        try {
            StrToInt(text);
            QFAIL("no exception");
        } catch (const std::runtime_error &error) {
            QCOMPARE(QString::fromStdString(error.what()),
                     QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }

    void timeTexts_data()
    {
        QTest::addColumn<ElapsedTime>("time");
        QTest::addColumn<QString>("text");
        QTest::newRow("start") << ElapsedTime{0, 0} << "00:00";
        QTest::newRow("one second") << ElapsedTime{0, 1} << "00:01";
        QTest::newRow("one digit each") << ElapsedTime{5, 9} << "05:09";
        QTest::newRow("last of the hour") << ElapsedTime{59, 59} << "59:59";
        QTest::newRow("an hour") << ElapsedTime{60, 0} << "60:00";
        QTest::newRow("three digits") << ElapsedTime{100, 0} << "100:00";
    }
    void timeTexts()
    {
        QFETCH(ElapsedTime, time);
        QFETCH(QString, text);
        QCOMPARE(time.text(), text);
    }

    void ticksCarryIntoMinutes()
    {
        ElapsedTime time;
        time.tick();
        QCOMPARE(time.text(), QStringLiteral("00:01"));
        for (int i = 1; i < 60; ++i)
            time.tick();
        QCOMPARE(time, (ElapsedTime{1, 0}));
        time = {59, 59};
        time.tick();
        QCOMPARE(time.text(), QStringLiteral("60:00"));
        time = {99, 59};
        time.tick();
        QCOMPARE(time.text(), QStringLiteral("100:00"));
    }

    void seekEstimates_data()
    {
        QTest::addColumn<uint>("fileBlocks");
        QTest::addColumn<uint>("bitrate");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<ElapsedTime>("time");
        // 9600000 bytes at 128000 bit/s: an estimated length of 9.4459 minutes.
        QTest::newRow("middle") << 75000u << 128000u << 300 << 600 << ElapsedTime{4, 43};
        QTest::newRow("start") << 75000u << 128000u << 0 << 600 << ElapsedTime{0, 0};
        QTest::newRow("end") << 75000u << 128000u << 600 << 600 << ElapsedTime{9, 26};
        QTest::newRow("long file")
            << 16000000u << 32000u << 1 << 2 << ElapsedTime{4030, 15}; // 8060.5 minutes
    }
    void seekEstimates()
    {
        QFETCH(uint, fileBlocks);
        QFETCH(uint, bitrate);
        QFETCH(int, position);
        QFETCH(int, maximum);
        QFETCH(ElapsedTime, time);
        const std::optional<ElapsedTime> estimate =
            estimateElapsedTime(fileBlocks, bitrate, position, maximum);
        QVERIFY(estimate);
        QCOMPARE(*estimate, time);
    }

    void noEstimate_data()
    {
        QTest::addColumn<uint>("fileBlocks");
        QTest::addColumn<uint>("bitrate");
        QTest::addColumn<int>("maximum");
        QTest::newRow("no bitrate") << 75000u << 0u << 600;
        QTest::newRow("empty bar range") << 75000u << 128000u << 0;
        // Far beyond any counter: a broken bitrate must not turn into a garbage time.
        QTest::newRow("absurd length") << std::numeric_limits<uint32_t>::max() << 1u << 1;
    }
    void noEstimate()
    {
        QFETCH(uint, fileBlocks);
        QFETCH(uint, bitrate);
        QFETCH(int, maximum);
        QVERIFY(!estimateElapsedTime(fileBlocks, bitrate, maximum, maximum));
    }

    void rowMoves_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("next");
        QTest::addColumn<int>("previous");
        QTest::newRow("middle") << 1 << 3 << 2 << 0;
        QTest::newRow("last wraps to first") << 2 << 3 << 0 << 1;
        QTest::newRow("first wraps to last") << 0 << 3 << 1 << 2;
        QTest::newRow("one row") << 0 << 1 << 0 << 0;
        QTest::newRow("nothing selected: forward starts at the first") << -1 << 3 << 0 << 2;
    }
    void rowMoves()
    {
        QFETCH(int, row);
        QFETCH(int, count);
        QFETCH(int, next);
        QFETCH(int, previous);
        QCOMPARE(SongRows::next(row, count), next);
        QCOMPARE(SongRows::previous(row, count), previous);
    }

    void randomRowsComeFromAllRows()
    {
        QRandomGenerator generator(1234);
        for (int i = 0; i < 100; ++i)
            QCOMPARE(SongRows::random(1, generator), 0);
        QList<int> drawn(5, 0);
        for (int i = 0; i < 5000; ++i) {
            const int row = SongRows::random(5, generator);
            QVERIFY(row >= 0 && row < 5);
            ++drawn[row];
        }
        for (int times : std::as_const(drawn))
            QVERIFY2(times > 800 && times < 1200, qPrintable(QString::number(times)));
    }

    // "program" is the program's folder, "program/blue" a skin beside it, "skins" a user's skin
    // folder elsewhere and "link" a link to the skin beside the program.
    void filesBesideTheProgram_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("writable");
        QTest::newRow("build tree") << false << "program" << true;
        QTest::newRow("build tree's skin") << false << "program/blue" << true;
        QTest::newRow("installed") << true << "program" << false;
        QTest::newRow("installed skin") << true << "program/blue" << false;
        QTest::newRow("installed skin through a link") << true << "link" << false;
        QTest::newRow("user's skin beside an installed copy") << true << "skins" << true;
        QTest::newRow("sibling with a longer name") << true << "program-extra" << true;
    }

    void filesBesideTheProgram()
    {
        QFETCH(bool, installed);
        QFETCH(QString, folder);
        QFETCH(bool, writable);
        QTemporaryDir root;
        const QDir dir(root.path());
        for (const char *name : {"program/blue", "skins", "program-extra"})
            QVERIFY(dir.mkpath(name));
        QVERIFY(QFile::link(dir.filePath("program/blue"), dir.filePath("link")));
        if (installed) {
            QFile mark(dir.filePath("program/") + InstalledMarkName);
            QVERIFY(mark.open(QIODevice::WriteOnly));
        }
        QCOMPARE(mayWriteBesideProgram(dir.filePath(folder), dir.filePath("program")), writable);
    }

    void qualityLines_data()
    {
        QTest::addColumn<int>("bitrate");
        QTest::addColumn<int>("frequency");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("line");
        QTest::newRow("joint stereo")
            << 128000 << 44100 << 1 << "Quality: Joint Stereo (128 KBps  44 KHz)";
        QTest::newRow("stereo") << 192000 << 48000 << 0 << "Quality: Stereo (192 KBps  48 KHz)";
        QTest::newRow("dual channel")
            << 64000 << 32000 << 2 << "Quality: Dual Channel (64 KBps  32 KHz)";
        QTest::newRow("mono") << 8000 << 8000 << 3 << "Quality: Mono (8 KBps  8 KHz)";
        QTest::newRow("halves to even, down")
            << 128500 << 22500 << 1 << "Quality: Joint Stereo (128 KBps  22 KHz)";
        QTest::newRow("halves to even, up")
            << 127500 << 23500 << 1 << "Quality: Joint Stereo (128 KBps  24 KHz)";
        QTest::newRow("nearest") << 127501 << 11025 << 3 << "Quality: Mono (128 KBps  11 KHz)";
        QTest::newRow("below a half") << 499 << 999 << 3 << "Quality: Mono (0 KBps  1 KHz)";
        QTest::newRow("unknown mode") << 128000 << 44100 << 4 << "Quality:  (128 KBps  44 KHz)";
    }
    void qualityLines()
    {
        QFETCH(int, bitrate);
        QFETCH(int, frequency);
        QFETCH(int, mode);
        QFETCH(QString, line);
        QCOMPARE(qualityLine({3, bitrate, frequency, uint8_t(mode)}), line);
    }
};

QTEST_GUILESS_MAIN(tst_applogic)
#include "tst_applogic.moc"
