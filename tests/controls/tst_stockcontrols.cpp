#include <QDialog>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>
#include <cmath>

#include "aboutdialog.h"
#include "label.h"
#include "menubutton.h"
#include "panelfill.h"
#include "spinedit.h"

namespace {
const QColor backgroundColour(255, 128, 0);
const QColor lime(0, 255, 0);

// A pixel of a lime stroke, allowing for the edge smoothing that blends a little background in.
bool isLime(QColor colour)
{
    return colour.red() < 40 && colour.green() > 215 && colour.blue() < 40;
}

bool rowHasLime(const QImage &image, int y)
{
    for (int x = 0; x < image.width(); ++x)
        if (isLime(image.pixelColor(x, y)))
            return true;
    return false;
}

QImage solid(QColor colour)
{
    QImage image(1, 1, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A panel of the given size filled with the background colour.
void fillWithBackground(TLMDPanelFill &panel, QSize size)
{
    panel.setBitmap(solid(backgroundColour));
    panel.setFillStyle(TLMDPanelFill::sfBitmap);
    panel.resize(size);
}

// The Preferences dialog's font-size field beside a second field that can take the focus.
struct SpinEditForm {
    QDialog window;
    TRzSpinEdit *edit = new TRzSpinEdit(&window);
    QLineEdit *next = new QLineEdit(&window);
    QPushButton *ok = new QPushButton(QStringLiteral("OK"), &window);

    SpinEditForm()
    {
        edit->setMinimum(6);
        edit->setMaximum(12);
        edit->setValue(8);
        edit->setGeometry(10, 10, 60, 22);
        next->setGeometry(10, 40, 60, 22);
        ok->setGeometry(10, 70, 60, 22);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &window, &QDialog::accept);
        window.show();
        window.activateWindow();
        edit->setFocus();
    }
    bool ready() { return QTest::qWaitForWindowActive(&window) && edit->hasFocus(); }
    void retype(const QString &text)
    {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
};
} // namespace

class tst_stockcontrols : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(QFontDatabase::addApplicationFont(QStringLiteral(NORL_TEST_FONT_DIR) +
                                                  "/LiberationSans-Regular.ttf") >= 0);
    }

    // The tiles keep their phase from the panel's top-left corner, also when only a part of
    // the panel is repainted.
    void panelTilesFromTopLeft_data()
    {
        QTest::addColumn<QRect>("repainted");
        QTest::newRow("whole panel") << QRect(0, 0, 10, 7);
        QTest::newRow("inner part") << QRect(4, 3, 5, 3);
    }
    void panelTilesFromTopLeft()
    {
        QFETCH(QRect, repainted);
        QImage tile(3, 2, QImage::Format_RGB32);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                tile.setPixelColor(x, y, QColor(40 * x, 100 * y, 200));
        TLMDPanelFill panel;
        panel.resize(10, 7);
        panel.setBitmap(tile);
        panel.setFillStyle(TLMDPanelFill::sfBitmap);
        QImage image(panel.size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        panel.render(&image, repainted.topLeft(), QRegion(repainted));
        for (int y = repainted.top(); y <= repainted.bottom(); ++y)
            for (int x = repainted.left(); x <= repainted.right(); ++x)
                QCOMPARE(image.pixelColor(x, y), tile.pixelColor(x % 3, y % 2));
    }

    void panelWithoutFillShowsItsParent_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("withBitmap");
        QTest::newRow("no fill, bitmap kept") << int(TLMDPanelFill::sfNone) << true;
        QTest::newRow("bitmap style, no bitmap") << int(TLMDPanelFill::sfBitmap) << false;
    }
    void panelWithoutFillShowsItsParent()
    {
        QFETCH(int, style);
        QFETCH(bool, withBitmap);
        TLMDPanelFill parent;
        fillWithBackground(parent, {20, 20});
        auto *panel = new TLMDPanelFill(&parent);
        panel->setGeometry(5, 5, 10, 10);
        if (withBitmap)
            panel->setBitmap(solid(Qt::blue));
        panel->setFillStyle(TLMDPanelFill::TFillStyle(style));
        QCOMPARE(parent.grab().toImage().pixelColor(10, 10), backgroundColour);
    }

    // A label shows its background when transparent and its colour otherwise; its text is
    // drawn in the font colour.
    void labelTransparency_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<QColor>("behind");
        QTest::newRow("transparent") << true << backgroundColour;
        QTest::newRow("opaque") << false << QColor(Qt::blue);
    }
    void labelTransparency()
    {
        QFETCH(bool, transparent);
        QFETCH(QColor, behind);
        TLMDPanelFill panel;
        fillWithBackground(panel, {60, 30});
        auto *label = new TLMDLabel(&panel);
        label->setGeometry(8, 8, 40, 15);
        label->setFont(QFont(QStringLiteral("Liberation Sans"), 8));
        label->setCaption(QStringLiteral("Volume:"));
        label->setFontColor(lime);
        label->setColor(Qt::blue);
        label->setTransparent(transparent);
        const QImage image = panel.grab(label->geometry()).toImage();
        QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1), behind);
        bool limeText = false;
        for (int y = 0; y < image.height(); ++y)
            limeText = limeText || rowHasLime(image, y);
        QVERIFY(limeText);
    }

    // Song titles reach the status label: markup and "&" are text, not formatting.
    void labelShowsCaptionLiterally_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("markup") << QStringLiteral("<b>Song</b>");
        QTest::newRow("ampersand") << QStringLiteral("Rock & Roll");
    }
    void labelShowsCaptionLiterally()
    {
        QFETCH(QString, caption);
        TLMDLabel label;
        label.setFont(QFont(QStringLiteral("Liberation Sans"), 8));
        label.setCaption(caption);
        label.setAutoSize(true);
        // Read as a mnemonic or as markup, the text would be narrower by a glyph or more.
        const int literalWidth = QFontMetrics(label.font()).horizontalAdvance(caption);
        QVERIFY2(qAbs(label.width() - literalWidth) <= 2,
                 qPrintable(QStringLiteral("%1 against %2").arg(label.width()).arg(literalWidth)));
    }

    void fixedSizeLabelWraps()
    {
        TLMDLabel label;
        label.setFont(QFont(QStringLiteral("Liberation Sans"), 8));
        label.setMultiLine(true);
        label.setFontColor(lime);
        label.resize(152, 31);
        label.setCaption(QStringLiteral("Click on Open to select MP3 files and more words"));
        QCOMPARE(label.size(), QSize(152, 31));
        const QImage image = label.grab().toImage();
        const int lineHeight = QFontMetrics(label.font()).height();
        bool secondLine = false;
        for (int y = lineHeight; y < image.height(); ++y)
            secondLine = secondLine || rowHasLime(image, y);
        QVERIFY(secondLine);
    }

    void menuButtonDropsItsMenuDown_data()
    {
        QTest::addColumn<bool>("byKeyboard");
        QTest::newRow("click") << false;
        QTest::newRow("alt+accelerator") << true;
    }
    void menuButtonDropsItsMenuDown()
    {
        QFETCH(bool, byKeyboard);
        QWidget window;
        window.setGeometry(100, 100, 252, 412);
        QMenu menu;
        menu.addAction(QStringLiteral("&Add"));
        auto *button = new TRzMenuButton(&window);
        button->setGeometry(26, 385 - 300, 60, 19);
        button->setText(QStringLiteral("&Songs"));
        button->setDropDownMenu(&menu);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QRect shownAt;
        QTimer::singleShot(50, &menu, [&] {
            if (menu.isVisible())
                shownAt = menu.geometry();
            menu.close();
        });
        if (byKeyboard)
            QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
        else
            QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(!shownAt.isNull());
        const QPoint buttonBottomLeft = button->mapToGlobal(QPoint(0, button->height()));
        QCOMPARE(shownAt.topLeft(), buttonBottomLeft);
    }

    void spinEditTyping_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<double>("valueBeforeLeaving");
        QTest::addColumn<QString>("afterLeaving");
        QTest::newRow("in range") << "9"
                                  << "9" << 9.0 << "9";
        QTest::newRow("above is kept until leaving") << "20"
                                                     << "20" << 20.0 << "12";
        QTest::newRow("below") << "3"
                               << "3" << 3.0 << "6";
        QTest::newRow("letters and point refused") << "1a0.5"
                                                   << "105" << 105.0 << "12";
        QTest::newRow("signs only") << "+-"
                                    << "+-" << 6.0 << "6";
        QTest::newRow("cleared") << ""
                                 << "" << 6.0 << "6";
    }
    void spinEditTyping()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(double, valueBeforeLeaving);
        QFETCH(QString, afterLeaving);
        SpinEditForm form;
        QVERIFY(form.ready());
        form.retype(typed);
        QCOMPARE(form.edit->text(), shown);
        QCOMPARE(form.edit->value(), valueBeforeLeaving);
        form.next->setFocus();
        QTRY_VERIFY(form.next->hasFocus());
        QCOMPARE(form.edit->text(), afterLeaving);
    }

    void spinEditSteps_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("wheelDelta");
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<double>("expected");
        QTest::newRow("up") << int(Qt::Key_Up) << 0 << false << 9.0;
        QTest::newRow("down") << int(Qt::Key_Down) << 0 << false << 7.0;
        QTest::newRow("page up") << int(Qt::Key_PageUp) << 0 << false << 12.0;
        QTest::newRow("page down") << int(Qt::Key_PageDown) << 0 << false << 6.0;
        QTest::newRow("wheel up") << 0 << 120 << false << 9.0;
        QTest::newRow("wheel two notches down") << 0 << -240 << false << 6.0;
        QTest::newRow("half notch does nothing") << 0 << 60 << false << 8.0;
        QTest::newRow("ctrl+wheel pages") << 0 << 120 << true << 12.0;
    }
    void spinEditSteps()
    {
        QFETCH(int, key);
        QFETCH(int, wheelDelta);
        QFETCH(bool, ctrl);
        QFETCH(double, expected);
        SpinEditForm form;
        QVERIFY(form.ready());
        const Qt::KeyboardModifiers modifiers = ctrl ? Qt::ControlModifier : Qt::NoModifier;
        if (key != 0) {
            QTest::keyClick(form.edit, Qt::Key(key), modifiers);
        } else {
            const QPointF at(form.edit->rect().center());
            QWheelEvent wheel(at, form.edit->mapToGlobal(at), {}, {0, wheelDelta}, Qt::NoButton,
                              modifiers, Qt::NoScrollPhase, false);
            QApplication::sendEvent(form.edit, &wheel);
        }
        QCOMPARE(form.edit->value(), expected);
    }

    void spinEditSetValueClamps_data()
    {
        QTest::addColumn<double>("set");
        QTest::addColumn<double>("expected");
        QTest::newRow("stored 20") << 20.0 << 12.0;
        QTest::newRow("below") << 1.0 << 6.0;
        QTest::newRow("fraction rounds") << 7.6 << 8.0;
        QTest::newRow("infinity") << -qInf() << 6.0;
        QTest::newRow("not a number is ignored") << qQNaN() << 8.0;
    }
    void spinEditSetValueClamps()
    {
        QFETCH(double, set);
        QFETCH(double, expected);
        TRzSpinEdit edit;
        edit.setMinimum(6);
        edit.setMaximum(12);
        edit.setValue(8);
        QSignalSpy changes(&edit, &TRzSpinEdit::valueChanged);
        QVERIFY(edit.setProperty("Value", set));
        QCOMPARE(edit.value(), expected);
        QCOMPARE(changes.size(), expected == 8.0 ? 0 : 1);
    }

    // Enter types nothing into the field and still presses the dialog's default button.
    void spinEditLeavesEnterToTheDialog()
    {
        SpinEditForm form;
        QVERIFY(form.ready());
        QSignalSpy accepted(&form.window, &QDialog::accepted);
        QTest::keyClick(form.edit, Qt::Key_Return);
        QCOMPARE(accepted.size(), 1);
        QCOMPARE(form.edit->text(), QStringLiteral("8"));
    }

    void aboutBoxTexts_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::newRow("name") << "appName"
                              << "NorlPlayer";
        QTest::newRow("version") << "version"
                                 << "Version 1.5";
        QTest::newRow("description") << "description"
                                     << "A compact, efficient MP3 player.";
        QTest::newRow("maker") << "maker"
                               << "Made by the NorlPlayer team";
        QTest::newRow("link") << "link"
                              << "NorlPlayer home page";
    }
    void aboutBoxTexts()
    {
        QFETCH(QString, label);
        QFETCH(QString, text);
        TLMDAboutDlg about;
        about.setProperty("LinkUrl", QUrl(QStringLiteral("https://example.org/norlplayer")));
        const std::unique_ptr<QDialog> dialog = about.createDialog();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("About NorlPlayer"));
        auto *shown = dialog->findChild<QLabel *>(label);
        QVERIFY(shown != nullptr);
        QTextDocument document;
        document.setHtml(shown->text());
        QCOMPARE(shown->textFormat() == Qt::RichText ? document.toPlainText() : shown->text(),
                 text);
    }

    // Only a web address becomes a link, and the texts cannot inject markup.
    void aboutBoxLink_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("linkText");
        QTest::addColumn<bool>("isLink");
        QTest::newRow("https") << "https://example.org/"
                               << "Home" << true;
        QTest::newRow("markup in text") << "https://example.org/"
                                        << "<b>x</b> & y" << true;
        QTest::newRow("quote in address") << "https://example.org/a\"b"
                                          << "Home" << true;
        QTest::newRow("local file") << "file:///etc/passwd"
                                    << "Home" << false;
        QTest::newRow("none") << ""
                              << "Home" << false;
    }
    void aboutBoxLink()
    {
        QFETCH(QString, url);
        QFETCH(QString, linkText);
        QFETCH(bool, isLink);
        TLMDAboutDlg about;
        about.setProperty("LinkUrl", QUrl(url));
        about.setProperty("LinkText", linkText);
        const std::unique_ptr<QDialog> dialog = about.createDialog();
        auto *link = dialog->findChild<QLabel *>(QStringLiteral("link"));
        QCOMPARE(link->textFormat() == Qt::RichText, isLink);
        if (!isLink) {
            QCOMPARE(link->text(), linkText);
            return;
        }
        QTextDocument document;
        document.setHtml(link->text());
        QCOMPARE(document.toPlainText(), linkText);
        const QTextFragment fragment = document.begin().begin().fragment();
        QCOMPARE(QUrl(fragment.charFormat().anchorHref()), QUrl(url));
    }

    void aboutBoxExecuteClosesOnOk()
    {
        QWidget owner;
        TLMDAboutDlg about(&owner);
        QPointer<QDialog> seen;
        QString title;
        QTimer::singleShot(50, [&] {
            seen = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!seen)
                return;
            title = seen->windowTitle();
            seen->findChild<QPushButton *>(QStringLiteral("ok"))->click();
        });
        about.Execute();
        QCOMPARE(title, QStringLiteral("About NorlPlayer"));
        QVERIFY(seen.isNull()); // closed by OK and freed
        QVERIFY(owner.findChildren<QDialog *>().isEmpty());
    }
};

QTEST_MAIN(tst_stockcontrols)
#include "tst_stockcontrols.moc"
