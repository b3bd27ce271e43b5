#include <QtTest>
class tst_decoding : public QObject {
    Q_OBJECT
};
QTEST_APPLESS_MAIN(tst_decoding)
#include "tst_decoding.moc"
