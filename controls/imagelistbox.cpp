#include "imagelistbox.h"

#include <QAbstractItemDelegate>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "transparentcolor.h"

namespace {

// Hands each row to the control, which owns everything a row needs to be drawn.
class RowDelegate : public QAbstractItemDelegate {
public:
    explicit RowDelegate(TLMDImageListBox *box) : QAbstractItemDelegate(box), m_box(box) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        m_box->paintRow(painter, option, index.row());
    }
    // The width is the view's: rows always span the whole list.
    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        return QSize(1, m_box->rowHeight(index.row()));
    }

private:
    TLMDImageListBox *m_box;
};

} // namespace

TLMDImageListBox::TLMDImageListBox(QWidget *parent)
    : QListView(parent), m_items(new ImageListItems(this))
{
    setModel(m_items);
    setItemDelegate(new RowDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(ScrollPerItem);
    m_color = palette().color(QPalette::Base);
    m_fontColor = palette().color(QPalette::Text);
    updateRules();
    updateBackground();

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TLMDImageListBox::noteItemIndex);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TLMDImageListBox::noteItemIndex);
    // Rows added or removed before the selected one move it.
    connect(m_items, &QAbstractItemModel::rowsInserted, this, &TLMDImageListBox::noteItemIndex);
    connect(m_items, &QAbstractItemModel::rowsRemoved, this, &TLMDImageListBox::noteItemIndex);
    connect(m_items, &QAbstractItemModel::modelReset, this, &TLMDImageListBox::noteItemIndex);
}

TLMDImageListBox::~TLMDImageListBox() = default;

void TLMDImageListBox::setItems(const QStringList &items)
{
    m_items->setItems(items);
}

int TLMDImageListBox::itemIndex() const
{
    if (multiSelect()) {
        const QModelIndex caret = currentIndex();
        return caret.isValid() ? caret.row() : -1;
    }
    const QItemSelection selection = selectionModel()->selection();
    return selection.isEmpty() ? -1 : selection.first().top();
}

void TLMDImageListBox::setItemIndex(int row)
{
    if (row == itemIndex())
        return;
    if (row < 0 || row >= count()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_items->index(row);
    selectionModel()->setCurrentIndex(index, multiSelect() ? QItemSelectionModel::NoUpdate
                                                           : QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

void TLMDImageListBox::noteItemIndex()
{
    const int now = itemIndex();
    if (now == m_lastItemIndex)
        return;
    m_lastItemIndex = now;
    emit ItemIndexChanged(now);
}

int TLMDImageListBox::pictureNumber(int row) const
{
    return itemPictureNumber(m_items->item(row), row, m_items->rules(), int(m_pictures.size()));
}

void TLMDImageListBox::setOptions(ListBoxOptions options)
{
    if (options == m_options)
        return;
    m_options = options;
    setUniformItemSizes(!m_options.testFlag(lboCalcHeight));
    // Variable heights may depend on the width the text wraps to.
    setResizeMode(m_options.testFlag(lboCalcHeight) ? Adjust : Fixed);
    updateRules();
    reloadPictures();
}

void TLMDImageListBox::updateRules()
{
    ItemTextRules rules = m_items->rules();
    rules.checkImageNr = m_options.testFlag(lboCheckImageNr);
    rules.imageListOrder = m_options.testFlag(lboImageListOrder);
    m_items->setRules(rules);
}

void TLMDImageListBox::setDelimiter(QChar delimiter)
{
    ItemTextRules rules = m_items->rules();
    rules.delimiter = delimiter;
    m_items->setRules(rules);
    relayoutRows();
}

void TLMDImageListBox::setDefaultItem(int picture)
{
    ItemTextRules rules = m_items->rules();
    rules.defaultItem = picture;
    m_items->setRules(rules);
    relayoutRows();
}

void TLMDImageListBox::setImageList(ImageList *list)
{
    if (list == m_imageList)
        return;
    if (m_imageList)
        disconnect(m_imageList, nullptr, this, nullptr);
    m_imageList = list;
    if (list) {
        connect(list, &ImageList::OnChange, this, &TLMDImageListBox::reloadPictures);
        connect(list, &QObject::destroyed, this, [this] {
            m_imageList = nullptr;
            reloadPictures();
        });
    }
    reloadPictures();
}

void TLMDImageListBox::setListIndex(int index)
{
    if (index < 0 || index == m_listIndex)
        return;
    m_listIndex = index;
    reloadPictures();
}

void TLMDImageListBox::setImagesOnly(bool on)
{
    if (on == m_imagesOnly)
        return;
    m_imagesOnly = on;
    reloadPictures();
}

void TLMDImageListBox::reloadPictures()
{
    m_pictures = m_imageList ? m_imageList->list(m_listIndex) : QList<QImage>();
    for (QImage &picture : m_pictures) {
        if (m_options.testFlag(lboTransparentImages))
            picture = withTransparentColor(picture, bottomLeftColor(picture));
        else
            picture = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    if (m_imagesOnly)
        m_items->setItems(QStringList(m_pictures.size()));
    relayoutRows();
}

void TLMDImageListBox::setMultiline(bool on)
{
    if (on == m_multiline)
        return;
    m_multiline = on;
    relayoutRows();
}

void TLMDImageListBox::setTransparent(bool on)
{
    if (on == m_transparent)
        return;
    m_transparent = on;
    updateBackground();
}

void TLMDImageListBox::setItemHeight(int height)
{
    if (height < 1 || height == m_itemHeight)
        return;
    m_itemHeight = height;
    relayoutRows();
}

void TLMDImageListBox::setColor(const QColor &color)
{
    m_color = color;
    updateBackground();
}

void TLMDImageListBox::setFontColor(const QColor &color)
{
    m_fontColor = color;
    viewport()->update();
}

void TLMDImageListBox::setFont3D(const TextEffect &effect)
{
    m_font3D = effect;
    viewport()->update();
}

void TLMDImageListBox::setItemLayout(const ItemLayout &layout)
{
    m_layout = layout;
    relayoutRows();
}

void TLMDImageListBox::setBorderStyle(BorderStyle style)
{
    m_borderStyle = style;
    updateBackground();
}

void TLMDImageListBox::setMultiSelect(bool on)
{
    setSelectionMode(on ? ExtendedSelection : SingleSelection);
    noteItemIndex();
}

void TLMDImageListBox::setPopupMenu(QMenu *menu)
{
    m_popupMenu = menu;
}

void TLMDImageListBox::relayoutRows()
{
    // Row heights are cached by the view; a fresh layout asks the delegate again.
    scheduleDelayedItemsLayout();
    viewport()->update();
}

void TLMDImageListBox::updateBackground()
{
    setFrameShape(m_borderStyle == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, m_color);
    setPalette(colours);
    // Without its own fill the viewport shows whatever the parent painted beneath it.
    viewport()->setAutoFillBackground(!m_transparent);
    viewport()->update();
}

int TLMDImageListBox::rowHeight(int row) const
{
    if (!m_options.testFlag(lboCalcHeight))
        return m_itemHeight;
    const int picture = pictureNumber(row);
    const QSize pictureSize = picture >= 0 ? m_pictures[picture].size() : QSize(0, -1);
    int textHeight = 0;
    if (m_multiline) {
        const int wrap = itemWrapWidth(viewport()->width(), pictureSize.width(), m_layout);
        textHeight = textExtent(displayText(row), wrap).height();
    }
    return measuredItemHeight(m_itemHeight, pictureSize.height(), textHeight);
}

QSize TLMDImageListBox::textExtent(const QString &text, int wrapWidth) const
{
    if (m_multiline)
        return fontMetrics()
            .boundingRect(QRect(0, 0, wrapWidth, 1 << 20), Qt::TextWordWrap | Qt::TextExpandTabs,
                          text)
            .size();
    return fontMetrics().size(Qt::TextSingleLine | Qt::TextExpandTabs, text);
}

void TLMDImageListBox::drawText(QPainter *painter, const QRect &rect, const QString &text,
                                const QColor &color) const
{
    const int wrap = m_multiline ? Qt::TextWordWrap : Qt::TextSingleLine;
    painter->setPen(color);
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs | wrap, text);
}

void TLMDImageListBox::paintRow(QPainter *painter, const QStyleOptionViewItem &option,
                                int row) const
{
    const QRect rect = option.rect;
    QColor textColor = m_fontColor;
    if (option.state & QStyle::State_Selected) {
        // Also when transparent: the selected row is the current song and must stand out.
        painter->fillRect(rect, palette().color(QPalette::Highlight));
        textColor = palette().color(QPalette::HighlightedText);
    } else if (!m_transparent) {
        painter->fillRect(rect, m_color);
    }
    if (!isEnabled())
        textColor = palette().color(QPalette::Disabled, QPalette::Text);

    const QRect content = itemContentRect(rect);
    const QString text = m_items->displayText(row);
    const int picture = pictureNumber(row);
    const QImage *image = picture >= 0 ? &m_pictures[picture] : nullptr;
    // The text's size matters only when it has to make room for a picture or wraps.
    const QSize textSize =
        image || m_multiline ? textExtent(text, itemWrapWidth(viewport()->width(),
                                                              image ? image->width() : 0, m_layout))
                             : QSize();
    const ItemPlacement place =
        placeItem(content, image ? image->size() : QSize(), textSize, m_layout);

    painter->save();
    painter->setClipRect(rect, Qt::IntersectClip);
    painter->setFont(font());
    if (image)
        painter->drawImage(place.picture.topLeft(), *image);
    const QRect textRect(place.text.topLeft(), content.bottomRight());
    for (const TextLayer &layer : textEffectLayers(m_font3D, m_color))
        drawText(painter, textRect.translated(layer.offset), text, layer.color);
    drawText(painter, textRect, text, textColor);

    if (option.state & QStyle::State_HasFocus) {
        QRect focus = rect;
        focus.setHeight(std::max(rect.height(), m_itemHeight));
        painter->setPen(QPen(textColor, 0, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(focus.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

void TLMDImageListBox::mousePressEvent(QMouseEvent *event)
{
    // Only the left button picks rows, and a click beside them keeps the current song: the
    // pop-up menu's commands act on the row selected before.
    const bool onRow = indexAt(event->position().toPoint()).isValid();
    if (event->button() != Qt::LeftButton || (!onRow && !multiSelect())) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void TLMDImageListBox::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    // The view would select a neighbour of a removed selected row; the list leaves none.
    const int selected = itemIndex();
    if (!multiSelect() && selected >= start && selected <= end)
        selectionModel()->clear();
    QListView::rowsAboutToBeRemoved(parent, start, end);
}

void TLMDImageListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit OnDblClick(this);
}

void TLMDImageListBox::contextMenuEvent(QContextMenuEvent *event)
{
    emit OnContextPopup(this, mapFromGlobal(event->globalPos()));
    if (!m_popupMenu) {
        event->ignore();
        return;
    }
    m_popupMenu->popup(event->globalPos());
    event->accept();
}

void TLMDImageListBox::changeEvent(QEvent *event)
{
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        relayoutRows();
}
