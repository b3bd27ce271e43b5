#include <QtTest>

#include "panelfill.h"
#include "speedbutton.h"
#include "transportglyph.h"

namespace {
const QColor keyColour(255, 0, 255);
const QColor frameColours[4] = {Qt::red, Qt::green, Qt::yellow, Qt::blue};
const QColor faceColour(90, 90, 90);
const QColor backgroundColour(255, 128, 0);
constexpr QSize frameSize(8, 6);

// Four solid frames, each with a key-coloured bottom-left pixel.
QImage fourFrameGlyph()
{
    QImage strip(frameSize.width() * 4, frameSize.height(), QImage::Format_RGB32);
    for (int frame = 0; frame < 4; ++frame) {
        const QRect area(frame * frameSize.width(), 0, frameSize.width(), frameSize.height());
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                strip.setPixelColor(x, y, frameColours[frame]);
        strip.setPixelColor(area.left(), area.bottom(), keyColour);
    }
    return strip;
}

// A 32 x 20 flat button with the test glyph, on a panel painted in the background colour.
struct ButtonOnPanel {
    TLMDPanelFill panel;
    TLMDSpeedButton *button = new TLMDSpeedButton(&panel);

    ButtonOnPanel()
    {
        QImage tile(1, 1, QImage::Format_RGB32);
        tile.fill(backgroundColour);
        panel.setBitmap(tile);
        panel.setFillStyle(TLMDPanelFill::sfBitmap);
        panel.resize(40, 28);
        button->setGeometry(4, 4, 32, 20);
        button->setGlyph(fourFrameGlyph());
        button->setColor(faceColour);
        button->setFlat(true);
    }
    QImage grabButton() { return panel.grab(button->geometry()).toImage(); }
};

QPoint centre(const TLMDSpeedButton &button)
{
    return QRect(QPoint(), button.size()).center();
}
} // namespace

class tst_speedbutton : public QObject {
    Q_OBJECT
private slots:
    void frameRects_data()
    {
        QTest::addColumn<QSize>("strip");
        QTest::addColumn<int>("frameCount");
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("play, normal") << QSize(68, 16) << 4 << 0 << QRect(0, 0, 17, 16);
        QTest::newRow("pause, down") << QSize(52, 16) << 4 << 3 << QRect(39, 0, 13, 16);
        QTest::newRow("odd width drops the rest")
            << QSize(83, 16) << 4 << 3 << QRect(60, 0, 20, 16);
        QTest::newRow("too narrow") << QSize(3, 16) << 4 << 0 << QRect();
        QTest::newRow("no picture") << QSize() << 4 << 0 << QRect();
        QTest::newRow("index beyond strip") << QSize(68, 16) << 4 << 4 << QRect();
        QTest::newRow("no frames") << QSize(68, 16) << 0 << 0 << QRect();
    }
    void frameRects()
    {
        QFETCH(QSize, strip);
        QFETCH(int, frameCount);
        QFETCH(int, index);
        QFETCH(QRect, expected);
        QCOMPARE(ButtonGlyph::frameRect(strip, frameCount, index), expected);
    }

    // What the button shows for each state: which frame, and whether it sits one pixel lower.
    void shownFrame_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("latched");
        QTest::addColumn<bool>("mouseHeld");
        QTest::addColumn<int>("frame");
        QTest::addColumn<bool>("sunk");
        QTest::newRow("normal") << true << false << false << 0 << false;
        QTest::newRow("pressed shows normal") << true << false << true << 0 << true;
        QTest::newRow("latched down") << true << true << false << 3 << true;
        QTest::newRow("disabled") << false << false << false << 1 << false;
        QTest::newRow("disabled wins over latched") << false << true << false << 1 << false;
    }
    void shownFrame()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, latched);
        QFETCH(bool, mouseHeld);
        QFETCH(int, frame);
        QFETCH(bool, sunk);
        ButtonOnPanel fixture;
        TLMDSpeedButton &button = *fixture.button;
        button.setGroupIndex(1);
        button.setDown(latched);
        button.setEnabled(enabled);
        if (mouseHeld)
            QTest::mousePress(&button, Qt::LeftButton, {}, centre(button));
        const QImage image = fixture.grabButton();
        const QPoint origin = QPoint(12, 7) + (sunk ? QPoint(1, 1) : QPoint());
        QCOMPARE(image.pixelColor(origin), frameColours[frame]);
        QCOMPARE(image.pixelColor(origin + QPoint(7, 4)), frameColours[frame]);
        QVERIFY(image.pixelColor(origin - QPoint(1, 1)) != frameColours[frame]);
        if (mouseHeld)
            QTest::mouseRelease(&button, Qt::LeftButton, {}, centre(button));
    }

    void fewerFramesFallBackToNormal()
    {
        ButtonOnPanel fixture;
        fixture.button->setNumGlyphs(1);
        fixture.button->setGlyph(fourFrameGlyph().copy(0, 0, 8, 6));
        fixture.button->setEnabled(false);
        QCOMPARE(fixture.grabButton().pixelColor(centre(*fixture.button)), frameColours[0]);
    }

    // The glyph's key colour never shows: the face, or through a transparent button the
    // parent's background, shows instead.
    void transparentDrawing_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<QColor>("behind");
        QTest::newRow("opaque face") << false << faceColour;
        QTest::newRow("transparent") << true << backgroundColour;
    }
    void transparentDrawing()
    {
        QFETCH(bool, transparent);
        QFETCH(QColor, behind);
        ButtonOnPanel fixture;
        fixture.button->setTransparent(transparent);
        const QImage image = fixture.grabButton();
        QCOMPARE(image.pixelColor(12, 7 + frameSize.height() - 1), behind); // key pixel
        QCOMPARE(image.pixelColor(2, 2), behind);                           // face
    }

    // A glyph drawn on a see-through background shows its symbol in any colour, black and the
    // usual key colour included.
    void symbolsOnASeeThroughBackground_data()
    {
        QTest::addColumn<QColor>("symbol");
        QTest::newRow("black") << QColor(Qt::black);
        QTest::newRow("magenta") << keyColour;
    }
    void symbolsOnASeeThroughBackground()
    {
        QFETCH(QColor, symbol);
        ButtonOnPanel fixture;
        fixture.button->setTransparent(true);
        fixture.button->setGlyph(transportGlyph(
            TransportSymbol::Quit, 11, 11, {Qt::transparent, {symbol, symbol, symbol, symbol}}));
        const QImage image = fixture.grabButton();
        int shown = 0, behind = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                shown += image.pixelColor(x, y) == symbol;
                behind += image.pixelColor(x, y) == backgroundColour;
            }
        QVERIFY2(shown >= 13, qPrintable(QString::number(shown))); // the two strokes of the cross
        QCOMPARE(shown + behind, image.width() * image.height());
    }

    void clicksLatch_data()
    {
        QTest::addColumn<int>("groupIndex");
        QTest::addColumn<bool>("allowAllUp");
        QTest::addColumn<QList<bool>>("downAfterEachClick");
        QTest::newRow("ungrouped never stays down") << 0 << true << QList<bool>{false, false};
        QTest::newRow("grouped stays down") << 1 << false << QList<bool>{true, true};
        QTest::newRow("all up allowed releases") << 1 << true << QList<bool>{true, false, true};
    }
    void clicksLatch()
    {
        QFETCH(int, groupIndex);
        QFETCH(bool, allowAllUp);
        QFETCH(QList<bool>, downAfterEachClick);
        ButtonOnPanel fixture;
        TLMDSpeedButton &button = *fixture.button;
        button.setGroupIndex(groupIndex);
        button.setAllowAllUp(allowAllUp);
        QSignalSpy clicks(&button, &TLMDSpeedButton::clicked);
        for (int i = 0; i < downAfterEachClick.size(); ++i) {
            QTest::mouseClick(&button, Qt::LeftButton, {}, centre(button));
            QCOMPARE(button.isDown(), downAfterEachClick.at(i));
            QCOMPARE(clicks.size(), i + 1);
        }
    }

    void setDownFollowsTheGroupRules_data()
    {
        QTest::addColumn<int>("groupIndex");
        QTest::addColumn<bool>("allowAllUp");
        QTest::addColumn<bool>("downAfterSet");
        QTest::addColumn<bool>("downAfterRelease");
        QTest::newRow("ungrouped refuses") << 0 << true << false << false;
        QTest::newRow("group keeps one down") << 1 << false << true << true;
        QTest::newRow("pause: all up allowed") << 1 << true << true << false;
    }
    void setDownFollowsTheGroupRules()
    {
        QFETCH(int, groupIndex);
        QFETCH(bool, allowAllUp);
        QFETCH(bool, downAfterSet);
        QFETCH(bool, downAfterRelease);
        TLMDSpeedButton button;
        button.setGroupIndex(groupIndex);
        button.setAllowAllUp(allowAllUp);
        button.setDown(true);
        QCOMPARE(button.isDown(), downAfterSet);
        button.setDown(false);
        QCOMPARE(button.isDown(), downAfterRelease);
    }

    void groupMembersReleaseEachOther()
    {
        QWidget parent, otherParent;
        TLMDSpeedButton first(&parent), second(&parent), otherGroup(&parent),
            elsewhere(&otherParent);
        for (TLMDSpeedButton *button : {&first, &second, &elsewhere})
            button->setGroupIndex(1);
        otherGroup.setGroupIndex(2);
        first.setAllowAllUp(true);
        QVERIFY(second.allowAllUp()); // shared by the group
        QVERIFY(!elsewhere.allowAllUp());
        otherGroup.setDown(true);
        elsewhere.setDown(true);
        first.setDown(true);
        second.resize(32, 20);
        QTest::mouseClick(&second, Qt::LeftButton, {}, centre(second));
        QVERIFY(second.isDown());
        QVERIFY(!first.isDown());
        QVERIFY(otherGroup.isDown());
        QVERIFY(elsewhere.isDown());
    }

    // A click is a left press and a release over the button; leaving in between and coming
    // back still counts.
    void clickNeedsReleaseInside_data()
    {
        QTest::addColumn<QList<QPoint>>("path"); // press, moves..., release
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::addColumn<int>("clicks");
        QTest::newRow("in place") << QList<QPoint>{{16, 10}, {16, 10}} << Qt::LeftButton << 1;
        QTest::newRow("released outside")
            << QList<QPoint>{{16, 10}, {50, 10}} << Qt::LeftButton << 0;
        QTest::newRow("out and back")
            << QList<QPoint>{{16, 10}, {50, 10}, {20, 12}} << Qt::LeftButton << 1;
        QTest::newRow("right button") << QList<QPoint>{{16, 10}, {16, 10}} << Qt::RightButton << 0;
    }
    void clickNeedsReleaseInside()
    {
        QFETCH(QList<QPoint>, path);
        QFETCH(Qt::MouseButton, mouseButton);
        QFETCH(int, clicks);
        ButtonOnPanel fixture;
        TLMDSpeedButton &button = *fixture.button;
        QSignalSpy spy(&button, &TLMDSpeedButton::clicked);
        QTest::mousePress(&button, mouseButton, {}, path.first());
        for (qsizetype i = 1; i + 1 < path.size(); ++i) {
            QMouseEvent move(QEvent::MouseMove, path.at(i), button.mapToGlobal(path.at(i)),
                             Qt::NoButton, mouseButton, {});
            QApplication::sendEvent(&button, &move);
            QCOMPARE(button.look(),
                     button.rect().contains(path.at(i)) && mouseButton == Qt::LeftButton
                         ? SpeedButtonLook::Pressed
                         : SpeedButtonLook::Up);
        }
        QTest::mouseRelease(&button, mouseButton, {}, path.last());
        QCOMPARE(spy.size(), clicks);
        QCOMPARE(button.look(), SpeedButtonLook::Up);
    }

    void disabledButtonDoesNotClick()
    {
        ButtonOnPanel fixture;
        fixture.button->setEnabled(false);
        QSignalSpy spy(fixture.button, &TLMDSpeedButton::clicked);
        QTest::mouseClick(fixture.button, Qt::LeftButton, {}, centre(*fixture.button));
        QCOMPARE(spy.size(), 0);
    }

    void propertiesReachableByName()
    {
        TLMDSpeedButton button;
        QVERIFY(button.setProperty("Hint", QStringLiteral("Pause")));
        QVERIFY(button.setProperty("GroupIndex", 1));
        QVERIFY(button.setProperty("AllowAllUp", true));
        QVERIFY(button.setProperty("Down", true));
        QCOMPARE(button.toolTip(), QStringLiteral("Pause"));
        QVERIFY(button.isDown());
    }
};

QTEST_MAIN(tst_speedbutton)
#include "tst_speedbutton.moc"
