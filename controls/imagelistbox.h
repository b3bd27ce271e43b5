// A list box whose rows the control draws itself: the display text of each item, optionally a
// picture from an image list, and, when transparent, the parent's background (the skin) behind
// every row but the selected one. Rows are painted by a delegate, never by per-row widgets, and
// have a uniform height unless lboCalcHeight is set, so long lists stay fast.
#pragma once

#include <QColor>
#include <QImage>
#include <QListView>
#include <QMenu>
#include <QPointer>

#include "imagelist.h"
#include "imagelistitems.h"
#include "texteffect.h"

class TLMDImageListBox : public QListView {
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ items WRITE setItems)
    Q_PROPERTY(int Count READ count)
    Q_PROPERTY(int ItemIndex READ itemIndex WRITE setItemIndex NOTIFY ItemIndexChanged)
    Q_PROPERTY(ListBoxOptions Options READ options WRITE setOptions)
    Q_PROPERTY(QChar Delimiter READ delimiter WRITE setDelimiter)
    Q_PROPERTY(int DefaultItem READ defaultItem WRITE setDefaultItem)
    Q_PROPERTY(ImageList *ImageList READ imageList WRITE setImageList)
    Q_PROPERTY(int ListIndex READ listIndex WRITE setListIndex)
    Q_PROPERTY(bool ImagesOnly READ imagesOnly WRITE setImagesOnly)
    Q_PROPERTY(bool Multiline READ multiline WRITE setMultiline)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(int ItemHeight READ itemHeight WRITE setItemHeight)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(TextEffect Font3D READ font3D WRITE setFont3D)
    Q_PROPERTY(ItemLayout Layout READ itemLayout WRITE setItemLayout)
    Q_PROPERTY(BorderStyle BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool MultiSelect READ multiSelect WRITE setMultiSelect)
    Q_PROPERTY(QMenu *PopupMenu READ popupMenu WRITE setPopupMenu)
public:
    enum ListBoxOption {
        lboImageListOrder = 0x1,
        lboCheckImageNr = 0x2,
        lboCalcHeight = 0x4,
        lboTransparentImages = 0x8
    };
    Q_DECLARE_FLAGS(ListBoxOptions, ListBoxOption)
    Q_FLAG(ListBoxOptions)
    enum BorderStyle { bsNone, bsSingle };
    Q_ENUM(BorderStyle)

    explicit TLMDImageListBox(QWidget *parent = nullptr);
    ~TLMDImageListBox() override;

    // The items; item(), setItem(), insertItem() and deleteItem() throw std::out_of_range
    // ("List index out of bounds (n)") for a row that does not exist.
    QStringList items() const { return m_items->items(); }
    void setItems(const QStringList &items);
    int count() const { return m_items->count(); }
    QString item(int row) const { return m_items->item(row); }
    void setItem(int row, const QString &text) { m_items->setItem(row, text); }
    QString displayText(int row) const { return m_items->displayText(row); }
    int addItem(const QString &text) { return m_items->add(text); }
    void insertItem(int row, const QString &text) { m_items->insert(row, text); }
    void deleteItem(int row) { m_items->remove(row); }
    void clear() { m_items->clear(); }
    // The selected row (the caret row when MultiSelect), -1 for none. Setting a row that does
    // not exist leaves no row selected.
    int itemIndex() const;
    void setItemIndex(int row);
    // The picture a row shows, -1 for none.
    int pictureNumber(int row) const;

    ListBoxOptions options() const { return m_options; }
    void setOptions(ListBoxOptions options);
    QChar delimiter() const { return m_items->rules().delimiter; }
    void setDelimiter(QChar delimiter);
    int defaultItem() const { return m_items->rules().defaultItem; }
    void setDefaultItem(int picture);
    ImageList *imageList() const { return m_imageList; }
    void setImageList(ImageList *list);
    int listIndex() const { return m_listIndex; }
    void setListIndex(int index); // negative values are ignored
    bool imagesOnly() const { return m_imagesOnly; }
    void setImagesOnly(bool on);
    bool multiline() const { return m_multiline; }
    void setMultiline(bool on);
    bool transparent() const { return m_transparent; }
    void setTransparent(bool on);
    int itemHeight() const { return m_itemHeight; }
    void setItemHeight(int height); // values below 1 are ignored
    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    QColor fontColor() const { return m_fontColor; }
    void setFontColor(const QColor &color);
    TextEffect font3D() const { return m_font3D; }
    void setFont3D(const TextEffect &effect);
    ItemLayout itemLayout() const { return m_layout; }
    void setItemLayout(const ItemLayout &layout);
    BorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(BorderStyle style);
    bool multiSelect() const { return selectionMode() == ExtendedSelection; }
    void setMultiSelect(bool on);
    QMenu *popupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu *menu);

    // Used by the row delegate.
    void paintRow(QPainter *painter, const QStyleOptionViewItem &option, int row) const;
    int rowHeight(int row) const;

signals:
    void OnDblClick(QObject *Sender);
    // Before the pop-up menu opens; `MousePos` is in the control's coordinates.
    void OnContextPopup(QObject *Sender, QPoint MousePos);
    void ItemIndexChanged(int index);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;

private:
    void updateRules();
    void reloadPictures();
    void relayoutRows();
    void updateBackground();
    void noteItemIndex();
    QSize textExtent(const QString &text, int wrapWidth) const;
    void drawText(QPainter *painter, const QRect &rect, const QString &text,
                  const QColor &color) const;

    ImageListItems *m_items;
    ListBoxOptions m_options = ListBoxOptions(lboImageListOrder | lboCheckImageNr);
    QPointer<ImageList> m_imageList;
    QList<QImage> m_pictures; // the chosen list, ready to draw
    int m_listIndex = 0;
    bool m_imagesOnly = false;
    bool m_multiline = false;
    bool m_transparent = false;
    int m_itemHeight = 16;
    QColor m_color;
    QColor m_fontColor;
    TextEffect m_font3D;
    ItemLayout m_layout;
    BorderStyle m_borderStyle = bsSingle;
    QPointer<QMenu> m_popupMenu;
    int m_lastItemIndex = -1;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TLMDImageListBox::ListBoxOptions)
