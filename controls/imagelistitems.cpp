#include "imagelistitems.h"

#include <algorithm>
#include <stdexcept>

namespace {
// Longest picture number read after the delimiter.
constexpr qsizetype MaxNumberLength = 255;
} // namespace

QString itemDisplayText(const QString &item, const ItemTextRules &rules)
{
    if (!rules.checkImageNr)
        return item;
    const qsizetype at = item.indexOf(rules.delimiter);
    return at < 0 ? item : item.left(at);
}

int itemPictureNumber(const QString &item, int row, const ItemTextRules &rules, int pictureCount)
{
    int number = row;
    if (!rules.imageListOrder) {
        const qsizetype at = item.indexOf(rules.delimiter);
        if (at < 0) {
            number = rules.defaultItem;
        } else {
            bool ok = false;
            number = item.mid(at + 1, MaxNumberLength).trimmed().toInt(&ok);
            if (!ok)
                return -1;
        }
    }
    return number >= 0 && number < pictureCount ? number : -1;
}

QRect itemContentRect(const QRect &row)
{
    return row.adjusted(2, 0, -2, -1);
}

ItemPlacement placeItem(const QRect &content, QSize picture, QSize text, const ItemLayout &layout)
{
    if (picture.isEmpty())
        return {QRect(), QRect(content.topLeft(), text)};

    // Offsets of picture and text inside the block that holds both.
    const int gap = layout.spacing;
    QPoint pictureAt, textAt;
    QSize block;
    switch (layout.alignText2Glyph) {
    case ItemLayout::taLeft:
    case ItemLayout::taLeftTop:
    case ItemLayout::taRight:
    case ItemLayout::taRightTop: {
        block =
            QSize(picture.width() + gap + text.width(), std::max(picture.height(), text.height()));
        const bool textFirst = layout.alignText2Glyph == ItemLayout::taLeft ||
                               layout.alignText2Glyph == ItemLayout::taLeftTop;
        const bool centred = layout.alignText2Glyph == ItemLayout::taLeft ||
                             layout.alignText2Glyph == ItemLayout::taRight;
        pictureAt.setX(textFirst ? text.width() + gap : 0);
        textAt.setX(textFirst ? 0 : picture.width() + gap);
        if (centred) {
            pictureAt.setY((block.height() - picture.height()) / 2);
            textAt.setY((block.height() - text.height()) / 2);
        }
        break;
    }
    case ItemLayout::taTop:
    case ItemLayout::taTopLeft:
    case ItemLayout::taBottom:
    case ItemLayout::taBottomLeft: {
        block =
            QSize(std::max(picture.width(), text.width()), picture.height() + gap + text.height());
        const bool textFirst = layout.alignText2Glyph == ItemLayout::taTop ||
                               layout.alignText2Glyph == ItemLayout::taTopLeft;
        const bool centred = layout.alignText2Glyph == ItemLayout::taTop ||
                             layout.alignText2Glyph == ItemLayout::taBottom;
        pictureAt.setY(textFirst ? text.height() + gap : 0);
        textAt.setY(textFirst ? 0 : picture.height() + gap);
        if (centred) {
            pictureAt.setX((block.width() - picture.width()) / 2);
            textAt.setX((block.width() - text.width()) / 2);
        }
        break;
    }
    }

    const int column = layout.alignment % 3; // left, centre, right
    const int line = layout.alignment / 3;   // top, centre, bottom
    const int spareX = content.width() - block.width();
    const int spareY = content.height() - block.height();
    const QPoint origin(content.left() +
                            (column == 0   ? 0
                             : column == 1 ? spareX / 2
                                           : spareX) +
                            layout.offsetX,
                        content.top() +
                            (line == 0   ? 0
                             : line == 1 ? spareY / 2
                                         : spareY) +
                            layout.offsetY);
    return {QRect(origin + pictureAt, picture), QRect(origin + textAt, text)};
}

int itemWrapWidth(int controlWidth, int pictureWidth, const ItemLayout &layout)
{
    const int besidePicture = pictureWidth > 0 ? pictureWidth + layout.spacing : 0;
    return std::max(1, controlWidth - besidePicture - 6);
}

int measuredItemHeight(int itemHeight, int pictureHeight, int textHeight)
{
    const int height = pictureHeight >= 0 ? pictureHeight + 2 : 0;
    return std::max({height, textHeight, itemHeight});
}

ImageListItems::ImageListItems(QObject *parent) : QAbstractListModel(parent) {}

int ImageListItems::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant ImageListItems::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role == Qt::DisplayRole)
        return itemDisplayText(m_items[index.row()], m_rules);
    if (role == ItemTextRole || role == Qt::EditRole)
        return m_items[index.row()];
    return {};
}

void ImageListItems::setItems(const QStringList &items)
{
    beginResetModel();
    m_items = items;
    endResetModel();
}

void ImageListItems::checkRow(int row, int last) const
{
    if (row < 0 || row > last)
        throw std::out_of_range(
            QStringLiteral("List index out of bounds (%1)").arg(row).toStdString());
}

QString ImageListItems::item(int row) const
{
    checkRow(row, count() - 1);
    return m_items[row];
}

void ImageListItems::setItem(int row, const QString &item)
{
    checkRow(row, count() - 1);
    m_items[row] = item;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed);
}

QString ImageListItems::displayText(int row) const
{
    return itemDisplayText(item(row), m_rules);
}

int ImageListItems::add(const QString &item)
{
    const int row = count();
    insert(row, item);
    return row;
}

void ImageListItems::insert(int row, const QString &item)
{
    checkRow(row, count());
    beginInsertRows(QModelIndex(), row, row);
    m_items.insert(row, item);
    endInsertRows();
}

void ImageListItems::remove(int row)
{
    checkRow(row, count() - 1);
    beginRemoveRows(QModelIndex(), row, row);
    m_items.removeAt(row);
    endRemoveRows();
}

void ImageListItems::clear()
{
    setItems({});
}

void ImageListItems::setRules(const ItemTextRules &rules)
{
    if (rules == m_rules)
        return;
    m_rules = rules;
    if (!m_items.isEmpty())
        emit dataChanged(index(0), index(count() - 1));
}
