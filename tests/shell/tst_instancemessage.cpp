// The message a later copy sends the first: what survives the trip, and what the reader refuses.
#include <QTest>
#include <QtEndian>

#include "instancemessage.h"

Q_DECLARE_METATYPE(InstanceRequest)

using InstanceMessage::Reader;

namespace {

// A message with any payload, valid or not.
QByteArray message(const QByteArray &payload, quint8 version = 1,
                   std::optional<quint32> length = std::nullopt)
{
    char size[4];
    qToBigEndian(length.value_or(quint32(payload.size())), size);
    return "NORL" + QByteArray(1, char(version)) + QByteArray(size, 4) + payload;
}

// Feeds `bytes` in pieces of `piece` bytes, as the reader asks for them; the bytes left over.
QByteArray feed(Reader &reader, const QByteArray &bytes, qsizetype piece)
{
    qsizetype at = 0;
    while (reader.state() == Reader::Incomplete && at < bytes.size()) {
        const qsizetype take = std::min<qsizetype>({piece, reader.wanted(), bytes.size() - at});
        reader.add(QByteArrayView(bytes).sliced(at, take));
        at += take;
    }
    return bytes.mid(at);
}

} // namespace

class TestInstanceMessage : public QObject {
    Q_OBJECT

private slots:
    void requestsSurviveTheTrip_data()
    {
        QTest::addColumn<InstanceRequest>("request");
        QTest::addColumn<qsizetype>("piece");
        QTest::newRow("activate") << InstanceRequest{} << qsizetype(1 << 20);
        QTest::newRow("stop, byte by byte")
            << InstanceRequest{InstanceRequest::Stop, {}} << qsizetype(1);
        QTest::newRow("files in order, byte by byte")
            << InstanceRequest{InstanceRequest::Open,
                               {"/music/b.mp3", "/music/a b,c.mp3", "/música/ß €.mp3"}}
            << qsizetype(1);
        QTest::newRow("many files in pieces")
            << InstanceRequest{InstanceRequest::Open, QStringList(2000, "/music/some song.mp3")}
            << qsizetype(4093);
    }
    void requestsSurviveTheTrip()
    {
        QFETCH(InstanceRequest, request);
        QFETCH(qsizetype, piece);
        const std::optional<QByteArray> bytes = InstanceMessage::encode(request);
        QVERIFY(bytes);
        Reader reader;
        // What follows the message is not the reader's.
        QCOMPARE(feed(reader, *bytes + "trailing", piece), QByteArray("trailing"));
        QCOMPARE(reader.state(), Reader::Complete);
        QCOMPARE(reader.request(), request);
        QCOMPARE(reader.wanted(), 0);
    }

    void encodingRefusesWhatCannotBeSent()
    {
        // Over the limit: the sender falls back to asking the first copy forward.
        const QStringList many(InstanceMessage::MaxPayloadBytes / 100 + 1, QString(99, 'a'));
        QVERIFY(!InstanceMessage::encode({InstanceRequest::Open, many}));
        QVERIFY(!InstanceMessage::encode({InstanceRequest::Open, {QString::fromUtf8("/a\0b", 4)}}));
        QVERIFY(!InstanceMessage::encode({}, QString::fromUtf8("a\0b", 3)));
    }

    void theTokenSurvivesTheTrip_data()
    {
        QTest::addColumn<InstanceRequest>("request");
        QTest::addColumn<QString>("token");
        QTest::newRow("activate") << InstanceRequest{} << "weston-1234_abc";
        QTest::newRow("files") << InstanceRequest{InstanceRequest::Open, {"/a.mp3", "/b.mp3"}}
                               << "t";
        QTest::newRow("none") << InstanceRequest{InstanceRequest::Open, {"/a.mp3"}} << "";
    }
    void theTokenSurvivesTheTrip()
    {
        QFETCH(InstanceRequest, request);
        QFETCH(QString, token);
        Reader reader;
        feed(reader, InstanceMessage::encode(request, token).value_or(QByteArray()), 3);
        QCOMPARE(reader.state(), Reader::Complete);
        QCOMPARE(reader.request(), request);
        QCOMPARE(reader.activationToken(), token);
    }

    // A copy of an older release reads version 1 only: what needs no token still goes as that.
    void onlyATokenNeedsTheNewerVersion()
    {
        QCOMPARE(InstanceMessage::encode({InstanceRequest::Open, {"/a.mp3"}}),
                 message(QByteArray("open\0/a.mp3\0", 12)));
        QCOMPARE(InstanceMessage::encode({}, "t1"), message(QByteArray("activate\0t1\0", 12), 2));
    }

    void malformedMessagesAreRefusedWhole_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("garbage") << QByteArray("GET / HTTP/1.0\r\n\r\n");
        QTest::newRow("old plain request") << QByteArray("activate\n");
        QTest::newRow("later version") << message(QByteArray("activate\0", 9), 3);
        QTest::newRow("token version without a token") << message(QByteArray("activate\0", 9), 2);
        QTest::newRow("empty token") << message(QByteArray("open\0\0/a.mp3\0", 13), 2);
        QTest::newRow("100 MB announced") << message("", 1, 100u * 1024 * 1024);
        QTest::newRow("empty payload") << message("");
        QTest::newRow("unterminated") << message("activate");
        QTest::newRow("unknown request") << message(QByteArray("format-disk\0", 12));
        QTest::newRow("open without files") << message(QByteArray("open\0", 5));
        QTest::newRow("files for a command") << message(QByteArray("next\0/a.mp3\0", 12));
        QTest::newRow("relative path") << message(QByteArray("open\0a.mp3\0", 11));
        QTest::newRow("empty path") << message(QByteArray("open\0/a.mp3\0\0", 13));
        QTest::newRow("not UTF-8") << message(QByteArray("open\0/\xff\xfe.mp3\0", 13));
    }
    void malformedMessagesAreRefusedWhole()
    {
        QFETCH(QByteArray, bytes);
        Reader reader;
        feed(reader, bytes, 1);
        QCOMPARE(reader.state(), Reader::Invalid);
        QVERIFY(!reader.error().isEmpty());
        QCOMPARE(reader.wanted(), 0);
        QCOMPARE(reader.request(), InstanceRequest{});
    }
};

QTEST_APPLESS_MAIN(TestInstanceMessage)
#include "tst_instancemessage.moc"
