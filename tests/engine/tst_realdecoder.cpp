#include <QtTest>
class tst_realdecoder : public QObject {
    Q_OBJECT
};
QTEST_MAIN(tst_realdecoder)
#include "tst_realdecoder.moc"
