// The main window's file streams: what the decoder library's input callbacks are served with.
#include <QtTest>
#include <sys/file.h>

#include "filestreams.h"

class tst_filestreams : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path;
    FileStreams streams;
    int32_t id = 0;

private slots:
    void init()
    {
        path = dir.filePath(QStringLiteral("song.mp3"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QByteArray bytes(1000, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i);
        f.write(bytes);
        f.close();
        bool canSetPos = false;
        QVERIFY(streams.open(path, id, canSetPos));
        QVERIFY(id != 0);
        QVERIFY(canSetPos);
    }
    void cleanup()
    {
        streams.close(id);
        QCOMPARE(streams.openCount(), 0);
    }

    void filesThatCannotOpen()
    {
        int32_t other = 77;
        bool canSetPos = false;
        QVERIFY(!streams.open(dir.filePath(QStringLiteral("missing.mp3")), other, canSetPos));
        QCOMPARE(other, 77); // untouched
        QVERIFY(!canSetPos);

        // Another program holding the file for writing keeps it from us.
        streams.close(id);
        QFile writer(path);
        QVERIFY(writer.open(QIODevice::ReadWrite));
        QCOMPARE(::flock(writer.handle(), LOCK_EX | LOCK_NB), 0);
        QVERIFY(!streams.open(path, other, canSetPos));
        QCOMPARE(streams.openCount(), 0);
        ::flock(writer.handle(), LOCK_UN);
        QVERIFY(streams.open(path, other, canSetPos));
        QVERIFY(other != id && other != 0);
        id = other;
    }

    void sizeAndReads()
    {
        int32_t size = 0;
        QVERIFY(streams.size(id, size));
        QCOMPARE(size, 1000);
        QVERIFY(streams.seek(id, 900, 0));
        QByteArray buffer(4096, 'x');
        int32_t got = -1;
        QVERIFY(streams.read(id, buffer.data(), 4096, got));
        QCOMPARE(got, 100);
        QCOMPARE(uint8_t(buffer[0]), uint8_t(900 % 256));
        QVERIFY(streams.read(id, buffer.data(), 4096, got));
        QCOMPARE(got, 0);
    }

    void seeks_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("newPos");
        QTest::addColumn<int>("seekMode");
        QTest::addColumn<bool>("success");
        QTest::newRow("from the start") << 0 << 500 << 0 << true;
        QTest::newRow("from the end, back") << 0 << -100 << 2 << true;
        QTest::newRow("from here") << 300 << 200 << 1 << true;
        QTest::newRow("to the end") << 0 << 0 << 2 << true;
        QTest::newRow("past the end") << 0 << 5000 << 0 << true;
        QTest::newRow("before the start") << 0 << -1 << 0 << false;
        QTest::newRow("before the start from the end") << 0 << -1001 << 2 << false;
        QTest::newRow("unknown origin") << 0 << 10 << 3 << false;
        QTest::newRow("origin past 16 bits") << 0 << 10 << 65536 << false;
        QTest::newRow("overflow") << 0 << INT32_MAX << 2 << false;
    }
    void seeks()
    {
        QFETCH(int, start);
        QFETCH(int, newPos);
        QFETCH(int, seekMode);
        QFETCH(bool, success);
        QVERIFY(streams.seek(id, start, 0));
        QCOMPARE(streams.seek(id, newPos, seekMode), success);
    }

    void valuesThatAreNotStreams_data()
    {
        QTest::addColumn<int32_t>("value");
        QTest::newRow("zero") << 0;
        QTest::newRow("random") << int32_t(0x5eed1234);
        QTest::newRow("negative") << -1;
    }
    void valuesThatAreNotStreams()
    {
        QFETCH(int32_t, value);
        int32_t size = 0, got = 0;
        char buffer[8];
        QVERIFY(!streams.size(value, size));
        QVERIFY(!streams.seek(value, 0, 0));
        QVERIFY(!streams.read(value, buffer, 8, got));
        streams.close(value); // nothing happens
        QCOMPARE(streams.openCount(), 1);
    }

    void closedIdsGoStale()
    {
        int32_t other = 0;
        bool canSetPos = false;
        QVERIFY(streams.open(path, other, canSetPos));
        streams.close(other);
        int32_t size = 0;
        QVERIFY(!streams.size(other, size));
        QVERIFY(streams.size(id, size));
    }
};

QTEST_GUILESS_MAIN(tst_filestreams)
#include "tst_filestreams.moc"
