#include "imagelist.h"

ImageList::ImageList(QObject *parent) : QObject(parent) {}

QList<QImage> ImageList::list(int listIndex) const
{
    return listIndex >= 0 && listIndex < listCount() ? m_lists[listIndex] : QList<QImage>();
}

void ImageList::setList(int listIndex, const QList<QImage> &images)
{
    if (listIndex < 0)
        return;
    if (listIndex >= listCount())
        m_lists.resize(listIndex + 1);
    m_lists[listIndex] = images;
    emit OnChange(this);
}

void ImageList::clear()
{
    m_lists.clear();
    emit OnChange(this);
}
