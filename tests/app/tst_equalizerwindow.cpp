// The Equalizer window with the real decoder library, through the test sound server: cutting the
// 1K bar while the tones play lowers the 1 kHz tone that reaches the sink by about 12 dB and
// leaves the 100 Hz tone alone.
//
// Needs the sound server named by PULSE_SERVER (scripts/test starts a private one with a null
// sink); without one the test is skipped.
#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QtTest>

#include "equalizerform.h"
#include "formfixture.h"
#include "pcm.h"
#include "trackbar.h"
#include "ui_playform.h"

class tst_equalizerwindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("PULSE_SERVER"))
            QSKIP("PULSE_SERVER is not set: run through scripts/test or start_sound_server");
    }

    void cuttingTheOneKilohertzBarIsHeard()
    {
        FormFixture fixture;
        TestPlayForm &form = fixture.make();
        fixture.player().SetPathToDLL(QStringLiteral(NORL_LIBRARY_PATH));
        MessageBoxWatcher boxes;
        form.FormCreate();
        QVERIFY(form.ui->Equalizer1->isEnabled());

        MonitorRecording monitor;
        QVERIFY2(monitor.start(), "parec records nothing");
        form.ui->Slider2->setPosition(65535);
        form.filesToOpen = {QStringLiteral(NORL_FIXTURES_DIR "/eq-tones-long.mp3")};
        form.OpenBtnClick();
        form.PlayBtnClick();
        QTRY_VERIFY_WITH_TIMEOUT(fixture.player().Position() >= 1500, 5000);

        form.ui->Equalizer1->trigger();
        auto *window = form.findChild<EqualizerForm *>();
        QVERIFY(window && window->isVisible());
        window->OnBox()->click();
        QSlider *oneKilohertz = window->BandBar(5);
        QTest::keyClick(oneKilohertz, Qt::Key_Home);
        QCOMPARE(oneKilohertz->value(), -120);
        QStringList shown;
        for (const QLabel *label : window->findChildren<QLabel *>())
            shown << label->text();
        QVERIFY2(shown.contains("-12 dB"), qPrintable(shown.join(' ')));

        // The file lasts 6 s; the change is heard within the read-ahead's second or so.
        QTRY_VERIFY_WITH_TIMEOUT(fixture.player().Position() >= 5800, 8000);
        Pcm heard;
        QVERIFY(monitor.stop(heard));
        form.StopBtnClick();
        QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join(" | ")));

        qsizetype first = -1, last = -1;
        for (qsizetype i = 0; i < heard.frames(); ++i)
            if (std::abs(heard.samples[i * heard.channels]) > 300) {
                if (first < 0)
                    first = i;
                last = i;
            }
        const qsizetype second = heard.rate;
        QVERIFY2(first >= 0 && last - first > 5 * second,
                 qPrintable(QString::number(last - first)));
        const qsizetype before = first + second / 5, after = last - 2 * second;
        for (int channel : {0, 1}) {
            const double change =
                rmsDb(heard, channel, after, second) - rmsDb(heard, channel, before, second);
            qInfo("channel %d (%s): %.2f dB", channel, channel ? "100 Hz" : "1 kHz", change);
            if (channel == 0)
                QVERIFY2(change < -8 && change > -16, qPrintable(QString::number(change)));
            else
                QVERIFY2(std::abs(change) < 3, qPrintable(QString::number(change)));
        }
    }
};

QTEST_MAIN(tst_equalizerwindow)
#include "tst_equalizerwindow.moc"
