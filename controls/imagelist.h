// Pictures for controls that show one next to each item. A list of pictures can hold several
// lists; a control picks one by its index.
#pragma once

#include <QImage>
#include <QList>
#include <QObject>

class ImageList : public QObject {
    Q_OBJECT
public:
    explicit ImageList(QObject *parent = nullptr);

    int listCount() const { return int(m_lists.size()); }
    // The pictures of list `listIndex`; empty when there is no such list.
    QList<QImage> list(int listIndex) const;
    // Replaces list `listIndex`, adding empty lists before it as needed.
    void setList(int listIndex, const QList<QImage> &images);
    void clear();

signals:
    void OnChange(QObject *Sender);

private:
    QList<QList<QImage>> m_lists;
};
