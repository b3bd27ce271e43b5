// The items of the image list box: what a row shows (the text before its delimiter, the number
// of its picture) and where the picture and the text go inside the row. Plain code, no screen.
#pragma once

#include <QAbstractListModel>
#include <QChar>
#include <QRect>
#include <QSize>
#include <QStringList>

// How an item's text is read.
struct ItemTextRules {
    QChar delimiter = QLatin1Char('|');
    bool checkImageNr = true;   // show only the text before the first delimiter
    bool imageListOrder = true; // row i shows picture i, not the number written in the item
    int defaultItem = -1;       // picture of an item without a delimiter; -1 for none

    friend bool operator==(const ItemTextRules &, const ItemTextRules &) = default;
};

// The text a row shows: the part before the first delimiter when checkImageNr is set.
QString itemDisplayText(const QString &item, const ItemTextRules &rules);
// The picture that row `row` holding `item` shows out of `pictureCount`, or -1 for none. A number
// that names no picture (negative, too large, not a number) gives none.
int itemPictureNumber(const QString &item, int row, const ItemTextRules &rules, int pictureCount);

// Placement of a row's picture and text.
struct ItemLayout {
    Q_GADGET
    Q_PROPERTY(GlyphAlignment Alignment MEMBER alignment)
    Q_PROPERTY(TextPlacement AlignText2Glyph MEMBER alignText2Glyph)
    Q_PROPERTY(int Spacing MEMBER spacing)
    Q_PROPERTY(int OffsetX MEMBER offsetX)
    Q_PROPERTY(int OffsetY MEMBER offsetY)
public:
    // Where picture and text together sit in the row.
    enum GlyphAlignment {
        agTopLeft,
        agTopCenter,
        agTopRight,
        agCenterLeft,
        agCenter,
        agCenterRight,
        agBottomLeft,
        agBottomCenter,
        agBottomRight
    };
    Q_ENUM(GlyphAlignment)
    // Where the text sits beside the picture; the suffix says how the two line up (without
    // one they are centred on each other).
    enum TextPlacement {
        taLeft,
        taLeftTop,
        taRight,
        taRightTop,
        taTop,
        taTopLeft,
        taBottom,
        taBottomLeft
    };
    Q_ENUM(TextPlacement)

    GlyphAlignment alignment = agTopLeft;
    TextPlacement alignText2Glyph = taRight;
    int spacing = 2; // between picture and text
    int offsetX = 0;
    int offsetY = 0;

    friend bool operator==(const ItemLayout &, const ItemLayout &) = default;
};

struct ItemPlacement {
    QRect picture; // empty without a picture
    QRect text;
};

// The part of a row that holds picture and text: 2 pixels in from left and right, 1 from the
// bottom.
QRect itemContentRect(const QRect &row);
// Where a picture of size `picture` (empty for none) and a text of size `text` go in `content`.
// Without a picture the text sits at the top left.
ItemPlacement placeItem(const QRect &content, QSize picture, QSize text, const ItemLayout &layout);
// The width to which a multi-line item's text wraps in a control `controlWidth` wide; at least 1.
int itemWrapWidth(int controlWidth, int pictureWidth, const ItemLayout &layout);
// The height of a row of variable height: picture height + 2, at least `textHeight` (the wrapped
// text of a multi-line item, else 0), never below `itemHeight`. `pictureHeight` < 0: no picture.
int measuredItemHeight(int itemHeight, int pictureHeight, int textHeight);

// The items as a list model; the display role is a row's display text.
class ImageListItems : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { ItemTextRole = Qt::UserRole + 1 }; // the whole item, delimiter and all

    explicit ImageListItems(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    const QStringList &items() const { return m_items; }
    void setItems(const QStringList &items);
    int count() const { return int(m_items.size()); }
    // The accessors below throw std::out_of_range("List index out of bounds (n)") for a bad row.
    QString item(int row) const;
    void setItem(int row, const QString &item);
    QString displayText(int row) const;
    int add(const QString &item);              // returns the new row
    void insert(int row, const QString &item); // row == count() appends
    void remove(int row);
    void clear();

    const ItemTextRules &rules() const { return m_rules; }
    void setRules(const ItemTextRules &rules);

private:
    void checkRow(int row, int last) const;

    QStringList m_items;
    ItemTextRules m_rules;
};
