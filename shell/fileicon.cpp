#include "fileicon.h"

#include <QIconEngine>
#include <QPainter>
#include <optional>

namespace {

class FileIconEngine : public QIconEngine {
public:
    explicit FileIconEngine(const QList<std::pair<QString, QSize>> &files) : m_files(files) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        loaded().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return loaded().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        return loaded().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return loaded().actualSize(size, mode, state);
    }
    // Known from the list: asking for the sizes reads no file.
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        if (mode != QIcon::Normal || state != QIcon::Off)
            return loaded().availableSizes(mode, state);
        QList<QSize> sizes;
        for (const auto &file : m_files)
            sizes << file.second;
        return sizes;
    }
    bool isNull() override { return m_files.isEmpty(); }
    QString key() const override { return QStringLiteral("norl-file-icon"); }
    QIconEngine *clone() const override { return new FileIconEngine(*this); }

private:
    QIcon &loaded()
    {
        if (!m_icon) {
            m_icon.emplace();
            for (const auto &file : m_files)
                m_icon->addFile(file.first, file.second);
        }
        return *m_icon;
    }

    QList<std::pair<QString, QSize>> m_files;
    std::optional<QIcon> m_icon;
};

} // namespace

QIcon iconFromFiles(const QList<std::pair<QString, QSize>> &files)
{
    return files.isEmpty() ? QIcon() : QIcon(new FileIconEngine(files));
}
