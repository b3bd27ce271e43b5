// The window driven from the keyboard against the scripted fake decoder: the song list's keys,
// the transport keys and media keys, the seek bar's keys (one seek when they stop) and the
// volume bar's audible steps; and what a screen reader finds of its controls.
#include <QAccessible>
#include <QFile>
#include <QtTest>

#include "formfixture.h"
#include "imagelistbox.h"
#include "label.h"
#include "ledlabel.h"
#include "speedbutton.h"
#include "trackbar.h"
#include "ui_playform.h"

namespace {

void setMode(int mode)
{
    fakeScript().results["ESGetPlayerMode"] = mode;
}

QString lastInputName()
{
    const auto calls = fakeScript().callsTo("ESSetInputName");
    return calls.empty() ? QString() : QString::fromStdString(calls.back()).mid(17).chopped(1);
}

} // namespace

class tst_windowkeys : public QObject {
    Q_OBJECT

    std::unique_ptr<FormFixture> fixture;
    TestPlayForm *form = nullptr;
    QStringList songs;

    TLMDImageListBox &list() const { return *form->ui->SongList; }
    // A key pressed where the user is: on the focused control of the active window.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *focus = QApplication::focusWidget();
        // With no text: the test library cannot name the media keys' text.
        QTest::sendKeyEvent(QTest::Click, focus ? focus : form, Qt::Key(key), QString(), modifiers);
    }

private slots:
    // As under a screen reader: the window's controls tell their names while they are built.
    void initTestCase() { QAccessible::setActive(true); }

    // A shown, active window with three songs a, b, c and the focus on the list.
    void init()
    {
        fixture = std::make_unique<FormFixture>();
        form = &fixture->make();
        fakeScript().results["ESGetSize"] = 61000;
        form->FormCreate();
        for (const char *name : {"a.mp3", "b.mp3", "c.mp3"}) {
            songs << fixture->folder.filePath(name);
            QFile file(songs.back());
            file.open(QIODevice::WriteOnly);
            file.resize(1280);
        }
        form->filesToOpen = songs;
        form->OpenBtnClick();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        list().setFocus();
        fakeScript().calls.clear();
    }
    void cleanup()
    {
        fixture.reset();
        songs.clear();
    }

    // First, so that it sees the process's first window: the one a screen reader meets.
    void screenReadersFindNamedControlsThatPressAndReadTheirValues()
    {
        const std::pair<TLMDSpeedButton *, QString> buttons[] = {
            {form->ui->LMDSpeedButton1, "Play"},      {form->ui->LMDSpeedButton2, "Pause"},
            {form->ui->LMDSpeedButton3, "Stop"},      {form->ui->LMDSpeedButton4, "Previous song"},
            {form->ui->LMDSpeedButton5, "Next song"}, {form->ui->LMDSpeedButton6, "Hide"},
            {form->ui->LMDSpeedButton7, "Quit"}};
        for (const auto &[button, name] : buttons) {
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
            QVERIFY(accessible);
            QCOMPARE(accessible->role(), QAccessible::Button);
            QCOMPARE(accessible->text(QAccessible::Name), name);
            QVERIFY(accessible->actionInterface());
            QCOMPARE(accessible->actionInterface()->actionNames(),
                     QStringList{QAccessibleActionInterface::pressAction()});
            QVERIFY(!button->toolTip().isEmpty());
        }
        // Pressed through the interface as with the mouse; a disabled one does nothing.
        const auto press = [](QWidget *button) {
            QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
        };
        press(form->ui->LMDSpeedButton3);
        QVERIFY(fakeScript().callsTo("ESStop").empty());
        press(form->ui->LMDSpeedButton1);
        QCOMPARE(lastInputName(), songs[0]);
        setMode(4);
        press(form->ui->LMDSpeedButton2);
        QVERIFY(form->ui->LMDSpeedButton2->isDown());
        QVERIFY(QAccessible::queryAccessibleInterface(form->ui->LMDSpeedButton2)->state().pressed);

        for (TLMDTrackBar *bar : {form->ui->Slider, form->ui->Slider2, form->ui->Slider1}) {
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(bar);
            QCOMPARE(accessible->role(), QAccessible::Slider);
            QVERIFY(!accessible->text(QAccessible::Name).isEmpty());
            QAccessibleValueInterface *value = accessible->valueInterface();
            QVERIFY(value);
            QCOMPARE(value->currentValue().toInt(), bar->position());
            QCOMPARE(value->maximumValue().toInt(), bar->maxValue());
        }
        form->ShowTime("01:23");
        QAccessibleInterface *led = QAccessible::queryAccessibleInterface(form->ui->LedDisplay);
        QCOMPARE(led->text(QAccessible::Name), "01:23");
        QCOMPARE(led->text(QAccessible::Description), "Elapsed time");
    }

    void enterPlaysTheSelectedRowAndSpacePausesAndResumes_data()
    {
        QTest::addColumn<int>("enter");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("return") << int(Qt::Key_Return) << Qt::KeyboardModifiers();
        QTest::newRow("keypad enter")
            << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier);
    }
    void enterPlaysTheSelectedRowAndSpacePausesAndResumes()
    {
        QFETCH(int, enter);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        list().setItemIndex(1);
        press(enter, modifiers);
        QCOMPARE(lastInputName(), songs[1]);
        setMode(4);
        press(Qt::Key_Space);
        QCOMPARE(form->ui->InfoLabel->text(), "Paused...");
        QCOMPARE(fakeScript().callsTo("ESPause").size(), size_t(1));
        press(Qt::Key_Space);
        QCOMPARE(fakeScript().callsTo("ESResume").size(), size_t(1));
        QCOMPARE(list().itemIndex(), 1);
    }

    void arrowsSeekAndCtrlArrowsChangeTheSong()
    {
        list().setItemIndex(0);
        press(Qt::Key_Return);
        setMode(4);
        fakeScript().results["ESGetPos"] = 20000;
        press(Qt::Key_Right);
        QCOMPARE(fakeScript().callsTo("ESSetPos").back(), "ESSetPos(7,25000)");
        fakeScript().results["ESGetPos"] = 3000;
        press(Qt::Key_Left);
        QCOMPARE(fakeScript().callsTo("ESSetPos").back(), "ESSetPos(7,0)");
        QCOMPARE(list().itemIndex(), 0); // the arrows did not move the selection
        press(Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(lastInputName(), songs[1]);
        press(Qt::Key_Left, Qt::ControlModifier);
        press(Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(lastInputName(), songs[2]);
    }

    void deleteRemovesTheSelectedRowAsTheMenuDoes()
    {
        list().setItemIndex(1);
        press(Qt::Key_Delete);
        QCOMPARE(list().items(), (QStringList{"a", "c"}));
        QCOMPARE(form->Entries().size(), 2);
        QCOMPARE(list().itemIndex(), 0);
    }

    void mediaKeysActWhileTheWindowHasTheFocus()
    {
        press(Qt::Key_MediaTogglePlayPause); // nothing open: plays
        QCOMPARE(lastInputName(), songs[0]);
        setMode(4);
        press(Qt::Key_MediaNext);
        QCOMPARE(lastInputName(), songs[1]);
        press(Qt::Key_MediaPause);
        press(Qt::Key_MediaPause); // already paused: stays paused
        QCOMPARE(fakeScript().callsTo("ESPause").size(), size_t(1));
        QCOMPARE(fakeScript().callsTo("ESResume").size(), size_t(0));
        press(Qt::Key_MediaStop);
        QCOMPARE(form->ui->InfoLabel->text(), "Stopped...");
        press(Qt::Key_MediaPrevious);
        QCOMPARE(lastInputName(), songs[0]);
    }

    void theSeekBarSeeksOnceWhenItsKeysStop()
    {
        list().setItemIndex(0);
        press(Qt::Key_Return);
        setMode(4);
        TLMDTrackBar &bar = *form->ui->Slider;
        bar.setFocus();
        for (int i = 0; i < 3; ++i)
            press(Qt::Key_Right);
        const int moved = bar.position();
        QVERIFY(moved > 0);
        form->TimerTimer(); // the poll does not pull the bar back meanwhile
        QCOMPARE(bar.position(), moved);
        QVERIFY(fakeScript().callsTo("ESSetPos").empty());
        QTRY_COMPARE(fakeScript().callsTo("ESSetPos").size(), size_t(1));
        QCOMPARE(fakeScript().callsTo("ESSetPos").back(),
                 QStringLiteral("ESSetPos(7,%1)").arg(moved * 1000).toStdString());
        QTest::qWait(600);
        QCOMPARE(fakeScript().callsTo("ESSetPos").size(), size_t(1));
    }

    void theVolumeBarsKeysMoveInAudibleSteps()
    {
        TLMDTrackBar &bar = *form->ui->Slider2;
        bar.setFocus();
        bar.setPosition(30000);
        press(Qt::Key_Right);
        QCOMPARE(bar.position(), 30000 + 65535 / 20);
        press(Qt::Key_PageDown);
        QCOMPARE(bar.position(), 30000 + 65535 / 20 - 65535 / 5);
        for (int i = 0; i < 4; ++i)
            press(Qt::Key_PageUp);
        QCOMPARE(bar.position(), 65535); // held at the end
        QCOMPARE(fakeScript().callsTo("ESSetVolume").back(), "ESSetVolume(7,ffffffff)");
    }
};

QTEST_MAIN(tst_windowkeys)
#include "tst_windowkeys.moc"
