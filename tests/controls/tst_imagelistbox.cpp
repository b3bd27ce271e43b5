#include <QFontDatabase>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include "imagelistbox.h"

using Step = std::function<void(TLMDImageListBox &)>;
Q_DECLARE_METATYPE(Step)

namespace {

const QColor Lime(0, 255, 0);
const QColor Highlight(0, 0, 128);
const QColor HighlightText(255, 255, 255);
const QPoint ListAt(10, 20); // where the list sits on its parent
const int RowHeight = 16;

// The skin behind the list: a checkerboard of 4 x 3 cells in two colours the list never uses.
// It does not repeat every row height, so rows that moved with their background would show.
QColor skinColour(int x, int y)
{
    return ((x / 4 + y / 3) % 2) ? QColor(200, 120, 40) : QColor(40, 80, 160);
}

class Skin : public QWidget {
public:
    Skin() { resize(260, 260); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        const QRect area = event->rect();
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                painter.fillRect(x, y, 1, 1, skinColour(x, y));
    }
};

// The playlist configuration of the main window, with crisp text so that text pixels have
// exactly the font colour.
TLMDImageListBox *makeSongList(QWidget *parent)
{
    auto *list = new TLMDImageListBox(parent);
    list->setGeometry(QRect(ListAt, QSize(231, 217)));
    list->setBorderStyle(TLMDImageListBox::bsNone);
    list->setTransparent(true);
    list->setItemHeight(RowHeight);
    list->setFontColor(Lime);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    list->setFont(font);
    QPalette colours = list->palette();
    colours.setColor(QPalette::Highlight, Highlight);
    colours.setColor(QPalette::HighlightedText, HighlightText);
    list->setPalette(colours);
    return list;
}

QStringList songs(int count)
{
    QStringList rows;
    for (int i = 0; i < count; ++i)
        rows << QStringLiteral("%1.- Song %1|%2").arg(i + 1).arg(i % 3);
    return rows;
}

// The part of the parent covered by the list's rows (scroll bar excluded).
QRect rowArea(const TLMDImageListBox &list)
{
    return QRect(list.viewport()->mapTo(list.parentWidget(), QPoint()), list.viewport()->size());
}

class PaintCounter : public QObject {
public:
    explicit PaintCounter(int *count) : m_count(count) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++*m_count;
        return false;
    }

private:
    int *m_count;
};

} // namespace

class tst_imagelistbox : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(QFontDatabase::addApplicationFont(NORL_TEST_FONT_DIR
                                                  "/LiberationSans-Regular.ttf") >= 0);
    }

    // Every pixel of the list is the skin, except the text of the rows and the selected row.
    void transparentRows_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("selected");
        QTest::newRow("empty list") << 0 << -1;
        QTest::newRow("nothing selected") << 12 << -1;
        QTest::newRow("middle row selected") << 12 << 3;
        QTest::newRow("first row selected") << 12 << 0;
        QTest::newRow("last row selected") << 12 << 11;
        QTest::newRow("scrolled to the last row") << 40 << 39;
        QTest::newRow("one row") << 1 << 0;
    }
    void transparentRows()
    {
        QFETCH(int, count);
        QFETCH(int, selected);
        Skin skin;
        TLMDImageListBox *list = makeSongList(&skin);
        list->setItems(songs(count));
        list->setItemIndex(selected);
        const QImage shot = skin.grab().toImage();
        const QRect area = rowArea(*list);
        const int top = std::max(0, list->indexAt(QPoint(0, 0)).row()); // first row shown

        QRect selectedRow;
        if (selected >= 0)
            selectedRow = QRect(area.left(), area.top() + (selected - top) * RowHeight,
                                area.width(), RowHeight);
        QVector<int> textPixels(count);
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor pixel = shot.pixelColor(x, y);
                const int row = top + (y - area.top()) / RowHeight;
                if (selectedRow.contains(x, y)) {
                    if (pixel != Highlight && pixel != HighlightText)
                        QFAIL(qPrintable(QStringLiteral("selected row: %1 at %2,%3")
                                             .arg(pixel.name())
                                             .arg(x)
                                             .arg(y)));
                    if (pixel == HighlightText)
                        ++textPixels[row];
                    continue;
                }
                if (pixel == skinColour(x, y))
                    continue;
                if (pixel != Lime || row >= count)
                    QFAIL(
                        qPrintable(QStringLiteral("%1 at %2,%3").arg(pixel.name()).arg(x).arg(y)));
                // Text stays inside its row's content: 2 in from the sides, 1 up from the bottom.
                const int rowTop = area.top() + (row - top) * RowHeight;
                QVERIFY(x >= area.left() + 2 && x <= area.right() - 2);
                QVERIFY(y <= rowTop + RowHeight - 2);
                ++textPixels[row];
            }
        }
        // Each row shown has its text, drawn in the colour its state asks for.
        const int shown = std::min(count - top, (area.height() + RowHeight - 1) / RowHeight);
        for (int row = top; row < top + shown; ++row)
            QVERIFY2(textPixels[row] > 20, qPrintable(QString::number(row)));
    }

    void opaqueRows()
    {
        Skin skin;
        TLMDImageListBox *list = makeSongList(&skin);
        const QColor paper(250, 250, 210);
        list->setTransparent(false);
        list->setColor(paper);
        list->setItems(songs(3));
        list->setItemIndex(1);
        const QImage shot = skin.grab().toImage();
        const QRect area = rowArea(*list);
        // Right of the text in rows 0 and 2, and below the last row.
        for (int y : {area.top() + 8, area.top() + 40, area.top() + 100, area.bottom()})
            QCOMPARE(shot.pixelColor(area.right() - 3, y), paper);
        QCOMPARE(shot.pixelColor(area.right() - 3, area.top() + 24), Highlight);
    }

    // The text is what comes before the delimiter when lboCheckImageNr is set: a row shows
    // exactly what a row holding only that text shows.
    void shownText_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("looksLike");
        QTest::addColumn<bool>("checkImageNr");
        QTest::addColumn<QChar>("delimiter");
        const QChar bar('|');
        QTest::newRow("number cut off") << "Song|3"
                                        << "Song" << true << bar;
        QTest::newRow("no delimiter") << "Song"
                                      << "Song" << true << bar;
        QTest::newRow("only a number") << "|3"
                                       << "" << true << bar;
        QTest::newRow("whole without the option") << "Song|3"
                                                  << "Song|3" << false << bar;
        QTest::newRow("other delimiter") << "Song;x|y"
                                         << "Song" << true << QChar(';');
    }
    void shownText()
    {
        QFETCH(QString, item);
        QFETCH(QString, looksLike);
        QFETCH(bool, checkImageNr);
        QFETCH(QChar, delimiter);
        Skin skin;
        TLMDImageListBox *list = makeSongList(&skin);
        TLMDImageListBox::ListBoxOptions options = list->options();
        options.setFlag(TLMDImageListBox::lboCheckImageNr, checkImageNr);
        list->setOptions(options);
        list->setDelimiter(delimiter);
        list->setItems({item, looksLike});
        const QImage shot = skin.grab().toImage();
        const QRect area = rowArea(*list);
        auto textOf = [&](int row) {
            QImage mask(area.width(), RowHeight, QImage::Format_Mono);
            mask.fill(0);
            for (int y = 0; y < RowHeight; ++y)
                for (int x = 0; x < area.width(); ++x)
                    if (shot.pixelColor(area.left() + x, area.top() + row * RowHeight + y) == Lime)
                        mask.setPixel(x, y, 1);
            return mask;
        };
        QImage blank(area.width(), RowHeight, QImage::Format_Mono);
        blank.fill(0);
        QCOMPARE(textOf(0), textOf(1));
        QCOMPARE(textOf(0) == blank, looksLike.isEmpty());
        QCOMPARE(list->displayText(0), looksLike);
    }

    void itemIndex_data()
    {
        QTest::addColumn<Step>("steps");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("notices"); // ItemIndexChanged after the list was filled

        QTest::newRow("none at start") << Step([](TLMDImageListBox &) {}) << -1 << 0;
        QTest::newRow("set") << Step([](TLMDImageListBox &l) { l.setItemIndex(5); }) << 5 << 1;
        QTest::newRow("set twice the same") << Step([](TLMDImageListBox &l) {
            l.setItemIndex(5);
            l.setItemIndex(5);
        }) << 5 << 1;
        QTest::newRow("set, then none") << Step([](TLMDImageListBox &l) {
            l.setItemIndex(5);
            l.setItemIndex(-1);
        }) << -1 << 2;
        QTest::newRow("past the end selects none") << Step([](TLMDImageListBox &l) {
            l.setItemIndex(5);
            l.setItemIndex(10);
        }) << -1 << 2;
        QTest::newRow("below -1 selects none") << Step([](TLMDImageListBox &l) {
            l.setItemIndex(2);
            l.setItemIndex(-7);
        }) << -1 << 2;
        QTest::newRow("removing the selected row") << Step([](TLMDImageListBox &l) {
            l.setItemIndex(5);
            l.deleteItem(5);
        }) << -1 << 2;
        QTest::newRow("removing a row above") << Step([](TLMDImageListBox &l) {
            l.setItemIndex(5);
            l.deleteItem(0);
        }) << 4 << 2;
        QTest::newRow("removing a row below") << Step([](TLMDImageListBox &l) {
            l.setItemIndex(5);
            l.deleteItem(9);
        }) << 5 << 1;
        QTest::newRow("inserting above") << Step([](TLMDImageListBox &l) {
            l.setItemIndex(5);
            l.insertItem(0, "new");
        }) << 6 << 2;
        QTest::newRow("adding at the end") << Step([](TLMDImageListBox &l) {
            l.setItemIndex(9);
            l.addItem("new");
        }) << 9 << 1;
        QTest::newRow("clearing") << Step([](TLMDImageListBox &l) {
            l.setItemIndex(3);
            l.clear();
        }) << -1 << 2;
        QTest::newRow("new items") << Step([](TLMDImageListBox &l) {
            l.setItemIndex(3);
            l.setItems(songs(4));
        }) << -1 << 2;
        QTest::newRow("remove, then select the row before") << Step([](TLMDImageListBox &l) {
            l.setItemIndex(1);
            l.deleteItem(1);
            l.setItemIndex(0);
        }) << 0 << 3;
        QTest::newRow("arrow key after a selection") << Step([](TLMDImageListBox &l) {
            l.setItemIndex(2);
            QTest::keyClick(&l, Qt::Key_Down);
        }) << 3 << 2;
        QTest::newRow("click on a row") << Step([](TLMDImageListBox &l) {
            QTest::mouseClick(l.viewport(), Qt::LeftButton, {}, QPoint(30, 7 * RowHeight + 5));
        }) << 7 << 1;
        QTest::newRow("click below the last row keeps the selection")
            << Step([](TLMDImageListBox &l) {
                   l.setItemIndex(4);
                   QTest::mouseClick(l.viewport(), Qt::LeftButton, {}, QPoint(30, 200));
               })
            << 4 << 1;
        QTest::newRow("multi-select: the caret row") << Step([](TLMDImageListBox &l) {
            l.setMultiSelect(true);
            l.setItemIndex(6);
            QTest::mouseClick(l.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                              QPoint(30, 2 * RowHeight + 5));
        }) << 2 << 2;
    }
    void itemIndex()
    {
        QFETCH(Step, steps);
        QFETCH(int, index);
        QFETCH(int, notices);
        Skin skin;
        TLMDImageListBox *list = makeSongList(&skin);
        list->setItems(songs(10));
        QSignalSpy changed(list, &TLMDImageListBox::ItemIndexChanged);
        steps(*list);
        QCOMPARE(list->itemIndex(), index);
        QCOMPARE(list->property("ItemIndex").toInt(), index);
        QCOMPARE(changed.count(), notices);
        if (notices > 0)
            QCOMPARE(changed.last().at(0).toInt(), index);
    }

    void itemIndexScrollsIntoView()
    {
        Skin skin;
        TLMDImageListBox *list = makeSongList(&skin);
        list->setItems(songs(100));
        list->setItemIndex(70);
        const QRect row = list->visualRect(list->model()->index(70, 0));
        QVERIFY(list->viewport()->rect().contains(row));
    }

    void doubleClick_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("index");
        QTest::newRow("on a row") << QPoint(40, 3 * RowHeight + 8) << Qt::LeftButton << 1 << 3;
        QTest::newRow("on the first row") << QPoint(2, 1) << Qt::LeftButton << 1 << 0;
        // The main window then plays the row already selected.
        QTest::newRow("below the rows") << QPoint(40, 150) << Qt::LeftButton << 1 << 5;
        QTest::newRow("right button") << QPoint(40, 3 * RowHeight + 8) << Qt::RightButton << 0 << 5;
    }
    void doubleClick()
    {
        QFETCH(QPoint, at);
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, clicks);
        QFETCH(int, index);
        Skin skin;
        TLMDImageListBox *list = makeSongList(&skin);
        list->setItems(songs(6));
        list->setItemIndex(5);
        QSignalSpy doubled(list, &TLMDImageListBox::OnDblClick);
        // What the main window's handler reads when the signal comes.
        int seen = -2;
        connect(list, &TLMDImageListBox::OnDblClick, list, [&] { seen = list->itemIndex(); });
        QTest::mouseDClick(list->viewport(), button, {}, at);
        QCOMPARE(doubled.count(), clicks);
        QCOMPARE(list->itemIndex(), index);
        if (clicks) {
            QCOMPARE(doubled.first().at(0).value<QObject *>(), list);
            QCOMPARE(seen, index);
        }
    }

    void contextMenu()
    {
        Skin skin;
        TLMDImageListBox *list = makeSongList(&skin);
        list->setItems(songs(6));
        list->setItemIndex(2);
        QSignalSpy popped(list, &TLMDImageListBox::OnContextPopup);
        const QPoint at(30, 4 * RowHeight + 3);
        // Without a menu nothing opens, but the event is still reported.
        QContextMenuEvent bare(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &bare);
        QCOMPARE(popped.count(), 1);

        QMenu menu;
        menu.addAction(QStringLiteral("&Add"));
        list->setPopupMenu(&menu);
        QCOMPARE(list->property("PopupMenu").value<QMenu *>(), &menu);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &event);
        QCOMPARE(popped.count(), 2);
        QCOMPARE(popped.last().at(1).toPoint(), list->viewport()->mapTo(list, at));
        QVERIFY(menu.isVisible());
        menu.hide();
        // Opening the menu does not move the selection: Remove acts on the selected song.
        QCOMPARE(list->itemIndex(), 2);
    }

    // Pictures come from the image list; without one no room is kept for them.
    void pictures_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("listOrder");
        QTest::addColumn<bool>("transparentImages");
        QTest::addColumn<QColor>("picture"); // invalid: none
        const QColor blue(0, 0, 255), yellow(255, 255, 0);
        QTest::newRow("row order") << "Song|0" << true << false << yellow;
        QTest::newRow("number in the item") << "Song|1" << false << false << blue;
        QTest::newRow("default picture") << "Song" << false << false << yellow;
        QTest::newRow("number past the pictures") << "Song|3" << false << false << QColor();
        QTest::newRow("not a number") << "Song|x" << false << false << QColor();
        QTest::newRow("transparent corner") << "Song|2" << false << true << yellow;
    }
    void pictures()
    {
        QFETCH(QString, item);
        QFETCH(bool, listOrder);
        QFETCH(bool, transparentImages);
        QFETCH(QColor, picture);
        const QColor magenta(255, 0, 255);
        QList<QImage> images;
        for (QColor colour : {QColor(255, 0, 0), QColor(0, 0, 255), QColor(255, 255, 0)}) {
            QImage image(6, 6, QImage::Format_RGB32);
            image.fill(colour);
            image.setPixelColor(0, 5, magenta); // the transparent colour, when asked for
            images << image;
        }
        ImageList imageList;
        imageList.setList(0, images);
        Skin skin;
        TLMDImageListBox *list = makeSongList(&skin);
        list->setImageList(&imageList);
        list->setDefaultItem(2);
        TLMDImageListBox::ListBoxOptions options = TLMDImageListBox::lboCheckImageNr;
        options.setFlag(TLMDImageListBox::lboImageListOrder, listOrder);
        options.setFlag(TLMDImageListBox::lboTransparentImages, transparentImages);
        list->setOptions(options);
        // With row order the item's own number means nothing: put it on row 0 of the picture.
        list->setItems(listOrder ? QStringList{"a", "b", item} : QStringList{item});
        const int row = list->count() - 1;
        const QImage shot = skin.grab().toImage();
        const QRect area = rowArea(*list);
        const QRect rowRect(area.left(), area.top() + row * RowHeight, area.width(), RowHeight);

        QRect found, text;
        int magentaPixels = 0;
        for (int y = rowRect.top(); y <= rowRect.bottom(); ++y)
            for (int x = rowRect.left(); x <= rowRect.right(); ++x) {
                const QColor pixel = shot.pixelColor(x, y);
                if (pixel == picture)
                    found |= QRect(x, y, 1, 1);
                else if (pixel == Lime)
                    text |= QRect(x, y, 1, 1);
                magentaPixels += pixel == magenta;
            }
        QVERIFY(!text.isEmpty());
        if (!picture.isValid()) {
            QVERIFY(text.left() < rowRect.left() + 4); // no room kept for a picture
            QCOMPARE(magentaPixels, 0);
            return;
        }
        QCOMPARE(found.size(), QSize(6, 6));
        QCOMPARE(found.left(), rowRect.left() + 2);
        QVERIFY(rowRect.contains(found));
        QVERIFY(text.left() >= found.right() + 1 + 2); // right of the picture, 2 apart
        QCOMPARE(magentaPixels, transparentImages ? 0 : 1);
        if (transparentImages) // the skin shows through the picture's transparent corner
            QCOMPARE(shot.pixelColor(found.bottomLeft()), skinColour(found.left(), found.bottom()));
    }

    void imageListGoesAway()
    {
        Skin skin;
        TLMDImageListBox *list = makeSongList(&skin);
        auto *imageList = new ImageList;
        QImage image(6, 6, QImage::Format_RGB32);
        image.fill(Qt::red);
        imageList->setList(0, {image});
        list->setImageList(imageList);
        list->setItems({"Song"});
        QCOMPARE(list->pictureNumber(0), 0);
        delete imageList;
        QCOMPARE(list->imageList(), nullptr);
        QCOMPARE(list->pictureNumber(0), -1);
        skin.grab(); // draws without the pictures
    }

    // The list of pictures in use, and rows made from it with ImagesOnly.
    void pictureListChoice()
    {
        const QImage picture(4, 4, QImage::Format_RGB32);
        ImageList imageList;
        imageList.setList(0, {picture, picture});
        imageList.setList(1, {picture, picture, picture});
        TLMDImageListBox list;
        list.setImagesOnly(true);
        list.setImageList(&imageList);
        QCOMPARE(list.items(), QStringList(2));
        list.setListIndex(1);
        QCOMPARE(list.count(), 3);
        list.setListIndex(-1); // ignored
        QCOMPARE(list.listIndex(), 1);
        imageList.setList(1, {picture}); // the list follows its pictures
        QCOMPARE(list.count(), 1);
        list.setListIndex(7); // no such list: no pictures, no rows
        QCOMPARE(list.count(), 0);
        list.setImagesOnly(false);
        list.setItems({"a", "b|1"});
        list.setListIndex(0);
        list.setOptions(TLMDImageListBox::lboCheckImageNr);
        QCOMPARE(list.pictureNumber(0), -1);
        QCOMPARE(list.pictureNumber(1), 1);
    }

    void variableHeights_data()
    {
        QTest::addColumn<bool>("calcHeight");
        QTest::addColumn<bool>("multiline");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        const QString longText = QString("word ").repeated(60);
        QTest::newRow("fixed height ignores the picture") << false << false << "a|0" << 16 << 16;
        QTest::newRow("picture height + 2") << true << false << "a|0" << 22 << 22;
        QTest::newRow("no picture: item height") << true << false << "a" << 16 << 16;
        QTest::newRow("long text on one line") << true << false << longText << 16 << 16;
        QTest::newRow("long text wrapped") << true << true << longText << 3 * 13 << 16 * 13;
    }
    void variableHeights()
    {
        QFETCH(bool, calcHeight);
        QFETCH(bool, multiline);
        QFETCH(QString, item);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        ImageList imageList;
        imageList.setList(0, {QImage(10, 20, QImage::Format_RGB32)});
        Skin skin;
        TLMDImageListBox *list = makeSongList(&skin);
        list->setImageList(&imageList);
        TLMDImageListBox::ListBoxOptions options = TLMDImageListBox::lboCheckImageNr;
        options.setFlag(TLMDImageListBox::lboCalcHeight, calcHeight);
        list->setOptions(options);
        list->setMultiline(multiline);
        list->setItems({item, "next"});
        skin.grab();
        const QRect first = list->visualRect(list->model()->index(0, 0));
        QVERIFY2(first.height() >= minimum && first.height() <= maximum,
                 qPrintable(QString::number(first.height())));
        // The next row starts where this one ends.
        QCOMPARE(list->visualRect(list->model()->index(1, 0)).top(), first.bottom() + 1);
    }

    void disabledTextIsGrey()
    {
        Skin skin;
        TLMDImageListBox *list = makeSongList(&skin);
        list->setItems(songs(3));
        list->setEnabled(false);
        const QImage shot = skin.grab().toImage();
        const QColor grey = list->palette().color(QPalette::Disabled, QPalette::Text);
        int greyPixels = 0;
        const QRect area = rowArea(*list);
        for (int y = area.top(); y < area.top() + 3 * RowHeight; ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                QVERIFY(shot.pixelColor(x, y) != Lime);
                greyPixels += shot.pixelColor(x, y) == grey;
            }
        QVERIFY(greyPixels > 60);
    }

    // A transparent list scrolls by repainting what it shows over the skin: nothing of the
    // old rows may stay behind on the screen.
    void scrolling()
    {
        Skin skin;
        TLMDImageListBox *list = makeSongList(&skin);
        list->setItems(songs(40));
        skin.show();
        QVERIFY(QTest::qWaitForWindowExposed(&skin));
        int paints = 0;
        PaintCounter counter(&paints);
        list->viewport()->installEventFilter(&counter);
        QScrollBar *bar = list->verticalScrollBar();

        // A step that does not move the list repaints nothing.
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCoreApplication::processEvents();
        QCOMPARE(paints, 0);

        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QTRY_VERIFY(paints > 0);
        QCOMPARE(list->indexAt(QPoint(5, 5)).row(), 1);
        const QImage onScreen = skin.screen()->grabWindow(skin.winId()).toImage();
        QCOMPARE(onScreen.convertToFormat(QImage::Format_RGB32),
                 skin.grab().toImage().convertToFormat(QImage::Format_RGB32));

        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        QCoreApplication::processEvents();
        paints = 0;
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCoreApplication::processEvents();
        QCOMPARE(paints, 0);
    }

    // What the main window's playlist may hold: many rows, drawn without a widget per row.
    void hundredThousandRows()
    {
        Skin skin;
        TLMDImageListBox *list = makeSongList(&skin);
        const qsizetype widgets = list->findChildren<QWidget *>().size();
        for (int i = 0; i < 100000; ++i) // row by row, as the playlist is rebuilt
            list->addItem(QStringLiteral("%1.- Song").arg(i + 1));
        QCOMPARE(list->count(), 100000);
        list->setItemIndex(99999);
        const QImage shot = skin.grab().toImage();
        QCOMPARE(list->findChildren<QWidget *>().size(), widgets);
        const QRect last = list->visualRect(list->model()->index(99999, 0));
        QVERIFY(list->viewport()->rect().contains(last));
        const QPoint besideText =
            rowArea(*list).topLeft() + QPoint(last.right() - 3, last.top() + 8);
        QCOMPARE(shot.pixelColor(besideText), Highlight);
        QCOMPARE(list->indexAt(last.center()).row(), 99999);
    }

    void itemHeight_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("expected");
        QTest::newRow("main window") << 16 << 16;
        QTest::newRow("taller") << 24 << 24;
        QTest::newRow("zero is ignored") << 0 << 16;
        QTest::newRow("negative is ignored") << -5 << 16;
    }
    void itemHeight()
    {
        QFETCH(int, height);
        QFETCH(int, expected);
        Skin skin;
        TLMDImageListBox *list = makeSongList(&skin);
        list->setItems(songs(10));
        skin.grab(); // laid out once with the old height
        list->setItemHeight(height);
        QCOMPARE(list->itemHeight(), expected);
        const QImage shot = skin.grab().toImage();
        for (int row = 0; row < 4; ++row)
            QCOMPARE(list->visualRect(list->model()->index(row, 0)),
                     QRect(0, row * expected, list->viewport()->width(), expected));
        // Row 3's text starts in row 3.
        const QRect area = rowArea(*list);
        int firstText = -1;
        for (int y = area.top() + 3 * expected; y < area.top() + 4 * expected && firstText < 0; ++y)
            for (int x = area.left(); x < area.left() + 40; ++x)
                if (shot.pixelColor(x, y) == Lime) {
                    firstText = y - area.top();
                    break;
                }
        QVERIFY(firstText >= 3 * expected && firstText < 3 * expected + 6);
    }
};

QTEST_MAIN(tst_imagelistbox)
#include "tst_imagelistbox.moc"
