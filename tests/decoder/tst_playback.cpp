#include <QtTest>
class tst_playback : public QObject {
    Q_OBJECT
};
QTEST_APPLESS_MAIN(tst_playback)
#include "tst_playback.moc"
