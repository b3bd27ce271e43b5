// Reading skin files: which lines count, how values are cleaned up, how integers are read, and
// the Windows colour values that skins store.
#include <QGuiApplication>
#include <QPalette>
#include <QtTest>

#include "skinfile.h"
#include "windowscolor.h"

class tst_skinfile : public QObject {
    Q_OBJECT

private slots:
    void strings_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value"); // "<default>" when the key reads as missing

        QTest::newRow("plain") << QByteArray("[Skin]\nBackground=back.bmp\n") << "Background"
                               << "back.bmp";
        QTest::newRow("CR LF lines")
            << QByteArray("[Skin]\r\nBackground=back.bmp\r\nPlayButton=p.bmp\r\n") << "Background"
            << "back.bmp";
        QTest::newRow("other section ignored")
            << QByteArray("[Colors]\nBackground=no.bmp\n[Skin]\nPlayButton=p.bmp\n") << "Background"
            << "<default>";
        QTest::newRow("section after Skin ends it")
            << QByteArray("[Skin]\nPlayButton=p.bmp\n[Extra]\nBackground=no.bmp\n") << "Background"
            << "<default>";
        QTest::newRow("keys before any section ignored")
            << QByteArray("Background=no.bmp\n[Skin]\n") << "Background"
            << "<default>";
        QTest::newRow("section name in any case")
            << QByteArray("[sKIN]\nBackground=back.bmp\n") << "Background"
            << "back.bmp";
        QTest::newRow("key name in any case")
            << QByteArray("[Skin]\nbACKGROUND=back.bmp\n") << "BackGround"
            << "back.bmp";
        QTest::newRow("key with blanks")
            << QByteArray("[Skin]\nSong List Font = Liberation Sans\n") << "song list font"
            << "Liberation Sans";
        QTest::newRow("value trimmed")
            << QByteArray("[Skin]\nBackground=  \t my back.bmp \t \n") << "Background"
            << "my back.bmp";
        QTest::newRow("double quotes removed")
            << QByteArray("[Skin]\nBackground=\"back.bmp\"\n") << "Background"
            << "back.bmp";
        QTest::newRow("single quotes removed")
            << QByteArray("[Skin]\nBackground='back.bmp'\n") << "Background"
            << "back.bmp";
        QTest::newRow("blanks inside quotes kept")
            << QByteArray("[Skin]\nBackground= \" back.bmp \" \n") << "Background"
            << " back.bmp ";
        QTest::newRow("only one pair of quotes")
            << QByteArray("[Skin]\nBackground=\"\"back.bmp\"\"\n") << "Background"
            << "\"back.bmp\"";
        QTest::newRow("unmatched quote kept")
            << QByteArray("[Skin]\nBackground=\"back.bmp\n") << "Background"
            << "\"back.bmp";
        QTest::newRow("empty value is not missing")
            << QByteArray("[Skin]\nPlayButton=\n") << "PlayButton"
            << "";
        QTest::newRow("first of repeated keys wins")
            << QByteArray("[Skin]\nBackground=first.bmp\nbackground=second.bmp\n") << "Background"
            << "first.bmp";
        QTest::newRow("only the first section counts")
            << QByteArray("[Skin]\nPlayButton=p.bmp\n[Other]\n[skin]\nBackground=later.bmp\n")
            << "Background"
            << "<default>";
        QTest::newRow("comment line") << QByteArray("[Skin]\n;Background=no.bmp\n") << "Background"
                                      << "<default>";
        QTest::newRow("line without equals") << QByteArray("[Skin]\nBackground\n") << "Background"
                                             << "<default>";
        QTest::newRow("empty file") << QByteArray() << "Background"
                                    << "<default>";
    }
    void strings()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString read = SkinFile::fromText(text).readString(key, QStringLiteral("<default>"));
        QCOMPARE(read, value);
    }

    void longValuesKeep2047Characters_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("kept");
        QTest::newRow("shorter") << 2046 << 2046;
        QTest::newRow("exactly") << 2047 << 2047;
        QTest::newRow("one more") << 2048 << 2047;
        QTest::newRow("far longer") << 10000 << 2047;
    }
    void longValuesKeep2047Characters()
    {
        QFETCH(int, length);
        QFETCH(int, kept);
        const QByteArray text =
            "[Skin]\nBackground=" + QByteArray(length, 'x') + "\nPlayButton=p\n";
        const SkinFile skin = SkinFile::fromText(text);
        QCOMPARE(skin.readString(QStringLiteral("Background"), QString()), QString(kept, 'x'));
        // The long line does not swallow the next one.
        QCOMPARE(skin.readString(QStringLiteral("PlayButton"), QString()), QStringLiteral("p"));
    }

    void missingFileReadsAsAllKeysMissing()
    {
        QTemporaryDir dir;
        const SkinFile skin(dir.filePath(QStringLiteral("none.sk")));
        QCOMPARE(skin.readString(QStringLiteral("Background"), QStringLiteral("2.bmp")),
                 QStringLiteral("2.bmp"));
        QCOMPARE(skin.readInteger(QStringLiteral("ForeColor"), 14070528), 14070528);
    }

    void readsFromFile()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("test.sk")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Skin]\r\nBackground=back.bmp\r\nFlatButtons=0\r\n");
        file.close();
        const SkinFile skin(file.fileName());
        QCOMPARE(skin.readString(QStringLiteral("Background"), QString()),
                 QStringLiteral("back.bmp"));
        QCOMPARE(skin.readInteger(QStringLiteral("FlatButtons"), 1), 0);
    }

    void integers_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("defaultValue");
        QTest::addColumn<int>("expected");

        QTest::newRow("decimal") << "14070528" << 7 << 14070528;
        QTest::newRow("zero") << "0" << 7 << 0;
        QTest::newRow("negative") << "-5" << 7 << -5;
        QTest::newRow("blanks around") << "  42  " << 7 << 42;
        QTest::newRow("in quotes") << "\"42\"" << 7 << 42;
        QTest::newRow("dollar hex") << "$FF" << 7 << 255;
        QTest::newRow("dollar hex lower case") << "$ff" << 7 << 255;
        QTest::newRow("0x hex") << "0x0000FF" << 7 << 255;
        QTest::newRow("0X hex") << "0X0000ff" << 7 << 255;
        QTest::newRow("0x alone") << "0x" << 7 << 7;
        QTest::newRow("dollar alone") << "$" << 7 << 7;
        QTest::newRow("hex digits without prefix") << "FF" << 7 << 7;
        QTest::newRow("word") << "red" << 7 << 7;
        QTest::newRow("trailing letters") << "12abc" << 7 << 7;
        QTest::newRow("empty") << "" << 7 << 7;
        QTest::newRow("largest") << "2147483647" << 7 << 2147483647;
        QTest::newRow("smallest") << "-2147483648" << 7 << int(-2147483647 - 1);
        QTest::newRow("too large") << "2147483648" << 7 << 7;
        // Flat buttons: only a number equal to 0 turns them off.
        QTest::newRow("False keeps flat") << "False" << 1 << 1;
        QTest::newRow("no keeps flat") << "no" << 1 << 1;
        QTest::newRow("hex zero turns flat off") << "$0" << 1 << 0;
        QTest::newRow("any other number is true") << "-1" << 1 << -1;
    }
    void integers()
    {
        QFETCH(QString, value);
        QFETCH(int, defaultValue);
        QFETCH(int, expected);
        const SkinFile skin = SkinFile::fromText("[Skin]\nFlatButtons=" + value.toUtf8() + "\n");
        QCOMPARE(skin.readInteger(QStringLiteral("FlatButtons"), defaultValue), expected);
    }

    void missingIntegerGivesDefault()
    {
        const SkinFile skin = SkinFile::fromText("[Skin]\nBackground=back.bmp\n");
        QCOMPARE(skin.readInteger(QStringLiteral("FlatButtons"), 1), 1);
        QCOMPARE(skin.readInteger(QStringLiteral("ForeColor"), 14070528), 14070528);
    }

    void windowsColors_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QColor>("color");
        QTest::newRow("0x0000FF is pure red") << 0x0000ff << QColor(255, 0, 0);
        QTest::newRow("green in the second byte") << 0x00ff00 << QColor(0, 255, 0);
        QTest::newRow("blue in the third byte") << 0xff0000 << QColor(0, 0, 255);
        QTest::newRow("default text colour") << 14070528 << QColor(0, 179, 214);
        QTest::newRow("high byte ignored") << 0x01203040 << QColor(0x40, 0x30, 0x20);
    }
    void windowsColors()
    {
        QFETCH(int, value);
        QFETCH(QColor, color);
        QCOMPARE(colorFromWindowsValue(value), color);
    }

    void negativeColorIsASystemColor()
    {
        // 0x80000008: the system's window text colour.
        const QColor text = colorFromWindowsValue(int(0x80000008u));
        QCOMPARE(text, QGuiApplication::palette().color(QPalette::WindowText));
    }

    void colorReadFromSkin_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QColor>("color");
        QTest::newRow("0x") << QByteArray("ForeColor=0x0000FF") << QColor(255, 0, 0);
        QTest::newRow("dollar") << QByteArray("ForeColor=$0000FF") << QColor(255, 0, 0);
        QTest::newRow("decimal") << QByteArray("ForeColor=255") << QColor(255, 0, 0);
        QTest::newRow("word gives default") << QByteArray("ForeColor=red") << QColor(0, 179, 214);
        QTest::newRow("missing gives default") << QByteArray() << QColor(0, 179, 214);
    }
    void colorReadFromSkin()
    {
        QFETCH(QByteArray, line);
        QFETCH(QColor, color);
        const SkinFile skin = SkinFile::fromText("[Skin]\n" + line + "\n");
        QCOMPARE(colorFromWindowsValue(skin.readInteger(QStringLiteral("ForeColor"), 14070528)),
                 color);
    }
};

QTEST_MAIN(tst_skinfile)
#include "tst_skinfile.moc"
