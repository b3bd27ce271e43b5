#include <QtTest>
class tst_contract : public QObject {
    Q_OBJECT
};
QTEST_APPLESS_MAIN(tst_contract)
#include "tst_contract.moc"
