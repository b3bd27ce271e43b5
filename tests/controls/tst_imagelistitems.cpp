#include <QSignalSpy>
#include <QtTest>

#include <stdexcept>

#include "imagelistitems.h"
#include "texteffect.h"

using Operation = std::function<void(ImageListItems &)>;
Q_DECLARE_METATYPE(Operation)

class tst_imagelistitems : public QObject {
    Q_OBJECT
private slots:
    void displayText_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QChar>("delimiter");
        QTest::addColumn<bool>("checkImageNr");
        QTest::addColumn<QString>("shown");

        const QChar bar('|');
        QTest::newRow("number after the bar") << "Song|3" << bar << true << "Song";
        QTest::newRow("no delimiter shows whole") << "Song" << bar << true << "Song";
        QTest::newRow("first delimiter counts") << "A|B|7" << bar << true << "A";
        QTest::newRow("delimiter first gives empty") << "|3" << bar << true << "";
        QTest::newRow("delimiter last") << "Song|" << bar << true << "Song";
        QTest::newRow("empty item") << "" << bar << true << "";
        QTest::newRow("numbered title") << "12.- Intro|4" << bar << true << "12.- Intro";
        QTest::newRow("other delimiter") << "Song;3|x" << QChar(';') << true << "Song";
        QTest::newRow("bar is text with other delimiter")
            << "Song|3" << QChar(';') << true << "Song|3";
        QTest::newRow("without the option shows whole") << "Song|3" << bar << false << "Song|3";
    }
    void displayText()
    {
        QFETCH(QString, item);
        QFETCH(QChar, delimiter);
        QFETCH(bool, checkImageNr);
        QFETCH(QString, shown);
        ItemTextRules rules;
        rules.delimiter = delimiter;
        rules.checkImageNr = checkImageNr;
        QCOMPARE(itemDisplayText(item, rules), shown);
    }

    void pictureNumber_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("listOrder");
        QTest::addColumn<int>("defaultItem");
        QTest::addColumn<int>("pictures");
        QTest::addColumn<int>("picture");

        // Row order ignores the text.
        QTest::newRow("row order") << "Song|1" << 3 << true << -1 << 5 << 3;
        QTest::newRow("row order past the pictures") << "Song" << 5 << true << -1 << 5 << -1;
        QTest::newRow("row order without pictures") << "Song" << 0 << true << 2 << 0 << -1;
        // Numbers in the text.
        QTest::newRow("number") << "Song|3" << 0 << false << -1 << 5 << 3;
        QTest::newRow("zero") << "Song|0" << 4 << false << -1 << 5 << 0;
        QTest::newRow("last picture") << "Song|4" << 0 << false << -1 << 5 << 4;
        QTest::newRow("one past the last") << "Song|5" << 0 << false << -1 << 5 << -1;
        QTest::newRow("negative") << "Song|-1" << 0 << false << 2 << 5 << -1;
        QTest::newRow("not a number") << "Song|x" << 0 << false << 2 << 5 << -1;
        QTest::newRow("number then text") << "Song|3a" << 0 << false << 2 << 5 << -1;
        QTest::newRow("nothing after the bar") << "Song|" << 0 << false << 2 << 5 << -1;
        QTest::newRow("blanks around") << "Song| 3 " << 0 << false << -1 << 5 << 3;
        QTest::newRow("after the first bar") << "Song|2|4" << 0 << false << -1 << 5 << -1;
        QTest::newRow("too large for 32 bits") << "Song|99999999999" << 0 << false << 1 << 5 << -1;
        // Only 255 characters are read: the 256th digit is cut off.
        QTest::newRow("255 characters")
            << "S|" + QString(254, '0') + "3" << 0 << false << -1 << 5 << 3;
        QTest::newRow("256 characters")
            << "S|" + QString(255, '0') + "3" << 0 << false << -1 << 5 << 0;
        // No delimiter: the default picture, when it exists.
        QTest::newRow("default") << "Song" << 0 << false << 2 << 5 << 2;
        QTest::newRow("no default") << "Song" << 0 << false << -1 << 5 << -1;
        QTest::newRow("default past the pictures") << "Song" << 0 << false << 7 << 5 << -1;
        QTest::newRow("no image list") << "Song|0" << 0 << false << 0 << 0 << -1;
    }
    void pictureNumber()
    {
        QFETCH(QString, item);
        QFETCH(int, row);
        QFETCH(bool, listOrder);
        QFETCH(int, defaultItem);
        QFETCH(int, pictures);
        QFETCH(int, picture);
        ItemTextRules rules;
        rules.imageListOrder = listOrder;
        rules.defaultItem = defaultItem;
        QCOMPARE(itemPictureNumber(item, row, rules, pictures), picture);
    }

    void placement_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("textPlacement");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<QRect>("pictureRect");
        QTest::addColumn<QRect>("textRect");

        // Content 100 x 30 at (2, 10); text 40 x 10; spacing 2.
        const QSize pic(16, 20);
        QTest::newRow("no picture: text top left")
            << int(ItemLayout::agCenter) << int(ItemLayout::taRight) << QSize() << QPoint(5, 5)
            << QRect() << QRect(2, 10, 40, 10);
        QTest::newRow("text right, centred")
            << int(ItemLayout::agTopLeft) << int(ItemLayout::taRight) << pic << QPoint()
            << QRect(2, 10, 16, 20) << QRect(20, 15, 40, 10);
        QTest::newRow("text right, top")
            << int(ItemLayout::agTopLeft) << int(ItemLayout::taRightTop) << pic << QPoint()
            << QRect(2, 10, 16, 20) << QRect(20, 10, 40, 10);
        QTest::newRow("text left, centred")
            << int(ItemLayout::agTopLeft) << int(ItemLayout::taLeft) << pic << QPoint()
            << QRect(44, 10, 16, 20) << QRect(2, 15, 40, 10);
        QTest::newRow("text left, top")
            << int(ItemLayout::agTopLeft) << int(ItemLayout::taLeftTop) << pic << QPoint()
            << QRect(44, 10, 16, 20) << QRect(2, 10, 40, 10);
        QTest::newRow("text above, centred")
            << int(ItemLayout::agTopLeft) << int(ItemLayout::taTop) << QSize(16, 8) << QPoint()
            << QRect(14, 22, 16, 8) << QRect(2, 10, 40, 10);
        QTest::newRow("text above, left")
            << int(ItemLayout::agTopLeft) << int(ItemLayout::taTopLeft) << QSize(16, 8) << QPoint()
            << QRect(2, 22, 16, 8) << QRect(2, 10, 40, 10);
        QTest::newRow("text below, centred")
            << int(ItemLayout::agTopLeft) << int(ItemLayout::taBottom) << QSize(16, 8) << QPoint()
            << QRect(14, 10, 16, 8) << QRect(2, 20, 40, 10);
        QTest::newRow("text below, left")
            << int(ItemLayout::agTopLeft) << int(ItemLayout::taBottomLeft) << QSize(16, 8)
            << QPoint() << QRect(2, 10, 16, 8) << QRect(2, 20, 40, 10);
        // Block 58 x 20 in 100 x 30: 42 and 10 spare.
        QTest::newRow("centre") << int(ItemLayout::agCenter) << int(ItemLayout::taRight) << pic
                                << QPoint() << QRect(23, 15, 16, 20) << QRect(41, 20, 40, 10);
        QTest::newRow("bottom right")
            << int(ItemLayout::agBottomRight) << int(ItemLayout::taRight) << pic << QPoint()
            << QRect(44, 20, 16, 20) << QRect(62, 25, 40, 10);
        QTest::newRow("top centre with offsets")
            << int(ItemLayout::agTopCenter) << int(ItemLayout::taRight) << pic << QPoint(3, -1)
            << QRect(26, 9, 16, 20) << QRect(44, 14, 40, 10);
        QTest::newRow("centre left")
            << int(ItemLayout::agCenterLeft) << int(ItemLayout::taRight) << pic << QPoint()
            << QRect(2, 15, 16, 20) << QRect(20, 20, 40, 10);
    }
    void placement()
    {
        QFETCH(int, alignment);
        QFETCH(int, textPlacement);
        QFETCH(QSize, picture);
        QFETCH(QPoint, offset);
        QFETCH(QRect, pictureRect);
        QFETCH(QRect, textRect);
        ItemLayout layout;
        layout.alignment = ItemLayout::GlyphAlignment(alignment);
        layout.alignText2Glyph = ItemLayout::TextPlacement(textPlacement);
        layout.offsetX = offset.x();
        layout.offsetY = offset.y();
        const ItemPlacement place =
            placeItem(QRect(2, 10, 100, 30), picture, QSize(40, 10), layout);
        QCOMPARE(place.picture, pictureRect);
        QCOMPARE(place.text, textRect);
    }

    void rowGeometry()
    {
        // The row's content: 2 in from both sides, 1 up from the bottom.
        QCOMPARE(itemContentRect(QRect(0, 32, 231, 16)), QRect(2, 32, 227, 15));
        ItemLayout layout;
        QCOMPARE(itemWrapWidth(231, 0, layout), 225);
        QCOMPARE(itemWrapWidth(231, 16, layout), 207);
        // A control narrower than its picture still wraps to something.
        QCOMPARE(itemWrapWidth(10, 16, layout), 1);
        QCOMPARE(itemWrapWidth(0, 0, layout), 1);
    }

    void measuredHeight_data()
    {
        QTest::addColumn<int>("itemHeight");
        QTest::addColumn<int>("pictureHeight");
        QTest::addColumn<int>("textHeight");
        QTest::addColumn<int>("height");
        QTest::newRow("plain item") << 16 << -1 << 0 << 16;
        QTest::newRow("small picture") << 16 << 10 << 0 << 16;
        QTest::newRow("tall picture") << 16 << 20 << 0 << 22;
        QTest::newRow("empty picture") << 16 << 0 << 0 << 16;
        QTest::newRow("wrapped text") << 16 << 20 << 39 << 39;
        QTest::newRow("text under the item height") << 16 << -1 << 13 << 16;
    }
    void measuredHeight()
    {
        QFETCH(int, itemHeight);
        QFETCH(int, pictureHeight);
        QFETCH(int, textHeight);
        QFETCH(int, height);
        QCOMPARE(measuredItemHeight(itemHeight, pictureHeight, textHeight), height);
    }

    void modelFollowsRules()
    {
        ImageListItems items;
        items.setItems({"One|1", "Two|2", "Three"});
        QCOMPARE(items.data(items.index(0)).toString(), QString("One"));
        QCOMPARE(items.data(items.index(0), ImageListItems::ItemTextRole).toString(),
                 QString("One|1"));
        QSignalSpy changed(&items, &QAbstractItemModel::dataChanged);
        ItemTextRules rules = items.rules();
        items.setRules(rules);
        QCOMPARE(changed.count(), 0);
        rules.checkImageNr = false;
        items.setRules(rules);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex().row(), 0);
        QCOMPARE(changed.first().at(1).toModelIndex().row(), 2);
        QCOMPARE(items.displayText(1), QString("Two|2"));
    }

    void editing_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QStringList>("result");
        QTest::addColumn<int>("badIndex"); // -2: no failure

        QTest::newRow("add") << Operation([](ImageListItems &m) { QCOMPARE(m.add("d"), 3); })
                             << QStringList{"a", "b", "c", "d"} << -2;
        QTest::newRow("insert first") << Operation([](ImageListItems &m) { m.insert(0, "d"); })
                                      << QStringList{"d", "a", "b", "c"} << -2;
        QTest::newRow("insert at end") << Operation([](ImageListItems &m) { m.insert(3, "d"); })
                                       << QStringList{"a", "b", "c", "d"} << -2;
        QTest::newRow("remove middle")
            << Operation([](ImageListItems &m) { m.remove(1); }) << QStringList{"a", "c"} << -2;
        QTest::newRow("replace") << Operation([](ImageListItems &m) { m.setItem(2, "z"); })
                                 << QStringList{"a", "b", "z"} << -2;
        QTest::newRow("clear") << Operation([](ImageListItems &m) { m.clear(); }) << QStringList{}
                               << -2;
        QTest::newRow("read past the end")
            << Operation([](ImageListItems &m) { m.item(3); }) << QStringList{"a", "b", "c"} << 3;
        QTest::newRow("read before the start")
            << Operation([](ImageListItems &m) { m.item(-1); }) << QStringList{"a", "b", "c"} << -1;
        QTest::newRow("insert past the end")
            << Operation([](ImageListItems &m) { m.insert(4, "x"); }) << QStringList{"a", "b", "c"}
            << 4;
        QTest::newRow("remove past the end")
            << Operation([](ImageListItems &m) { m.remove(3); }) << QStringList{"a", "b", "c"} << 3;
        QTest::newRow("replace past the end")
            << Operation([](ImageListItems &m) { m.setItem(5, "x"); }) << QStringList{"a", "b", "c"}
            << 5;
        QTest::newRow("display text past the end")
            << Operation([](ImageListItems &m) { m.displayText(3); }) << QStringList{"a", "b", "c"}
            << 3;
        QTest::newRow("remove from empty") << Operation([](ImageListItems &m) {
            m.clear();
            m.remove(0);
        }) << QStringList{} << 0;
    }
    void editing()
    {
        QFETCH(Operation, operation);
        QFETCH(QStringList, result);
        QFETCH(int, badIndex);
        ImageListItems items;
        items.setItems({"a", "b", "c"});
        QSignalSpy inserted(&items, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&items, &QAbstractItemModel::rowsRemoved);
        QString failure;
        try {
            operation(items);
        } catch (const std::out_of_range &error) {
            failure = QString::fromStdString(error.what());
        }
        QCOMPARE(failure, badIndex == -2
                              ? QString()
                              : QStringLiteral("List index out of bounds (%1)").arg(badIndex));
        QCOMPARE(items.items(), result);
        QCOMPARE(items.rowCount(), int(result.size()));
        if (badIndex != -2) { // a refused edit tells no view about rows that never changed
            QCOMPARE(inserted.count(), 0);
            QCOMPARE(removed.count(), 0);
        }
    }

    void textEffects_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("depth");
        QTest::addColumn<QList<TextLayer>>("layers");
        const QColor light(Qt::white), shadow(Qt::gray);
        // The tdPColor styles take their shades from the colour behind the text.
        const QColor back(100, 100, 100);
        QTest::newRow("none") << int(TextEffect::tdNone) << 1 << QList<TextLayer>{};
        QTest::newRow("sunken") << int(TextEffect::tdSunken) << 1
                                << QList<TextLayer>{{{-1, -1}, shadow}, {{1, 1}, light}};
        QTest::newRow("raised, depth 2") << int(TextEffect::tdRaised) << 2
                                         << QList<TextLayer>{{{-2, -2}, light}, {{2, 2}, shadow}};
        QTest::newRow("shadow") << int(TextEffect::tdShadow) << 3
                                << QList<TextLayer>{{{3, 3}, shadow}};
        QTest::newRow("negative depth counts as 0")
            << int(TextEffect::tdShadow) << -4 << QList<TextLayer>{{{0, 0}, shadow}};
        QTest::newRow("parent colour raised")
            << int(TextEffect::tdPColorRaised) << 1
            << QList<TextLayer>{{{-1, -1}, back.lighter(150)}, {{1, 1}, back.darker(150)}};
    }
    void textEffects()
    {
        QFETCH(int, style);
        QFETCH(int, depth);
        QFETCH(QList<TextLayer>, layers);
        TextEffect effect;
        effect.style = TextEffect::TextStyle(style);
        effect.lightDepth = effect.shadowDepth = depth;
        QCOMPARE(textEffectLayers(effect, QColor(100, 100, 100)), layers);
    }
};

QTEST_GUILESS_MAIN(tst_imagelistitems)
#include "tst_imagelistitems.moc"
