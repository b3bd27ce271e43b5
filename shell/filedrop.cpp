#include "filedrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

TLMDFMDrop::TLMDFMDrop(QObject *owner) : QObject(owner) {}

TLMDFMDrop::~TLMDFMDrop()
{
    UnhookControl();
}

void TLMDFMDrop::SetControl(QWidget *value)
{
    if (value == m_Control)
        return;
    if (m_Control) {
        UnhookControl();
        disconnect(m_controlDestroyed);
    }
    m_Control = value;
    if (m_Control) {
        m_controlDestroyed =
            connect(m_Control, &QObject::destroyed, this, &TLMDFMDrop::ControlDestroyed);
        HookControl();
    }
}

void TLMDFMDrop::SetEnabled(bool value)
{
    if (value == m_Enabled)
        return;
    m_Enabled = value;
    if (m_Enabled)
        HookControl();
    else
        UnhookControl();
}

QStringList TLMDFMDrop::FileNames(const QList<QUrl> &urls, TLMDCharCase charCase)
{
    QStringList names;
    for (const QUrl &url : urls) {
        const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
        if (path.isEmpty())
            continue;
        switch (charCase) {
        case ccLowerCase:
            names << path.toLower();
            break;
        case ccUpperCase:
            names << path.toUpper();
            break;
        default:
            names << path;
        }
    }
    return names;
}

void TLMDFMDrop::HookControl()
{
    if (!m_Enabled || !m_Control || m_hooked)
        return;
    m_controlAcceptedDrops = m_Control->acceptDrops();
    m_Control->installEventFilter(this);
    m_Control->setAcceptDrops(true);
    m_hooked = true;
}

void TLMDFMDrop::UnhookControl()
{
    if (!m_hooked)
        return;
    m_Control->removeEventFilter(this);
    m_Control->setAcceptDrops(m_controlAcceptedDrops);
    m_hooked = false;
}

// Called from the target's QObject destructor: the widget is gone, only forget it.
void TLMDFMDrop::ControlDestroyed()
{
    m_hooked = false;
    m_Control = nullptr;
}

bool TLMDFMDrop::acceptUrls(QDropEvent &event)
{
    if (!event.mimeData() || !event.mimeData()->hasUrls())
        return false;
    // The player only reads the files: a move would tell the source it may delete them.
    if (event.possibleActions() & Qt::CopyAction)
        event.setDropAction(Qt::CopyAction);
    else if (event.possibleActions() & Qt::LinkAction)
        event.setDropAction(Qt::LinkAction);
    else
        return false;
    event.accept();
    return true;
}

bool TLMDFMDrop::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_hooked || watched != m_Control)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        acceptUrls(*static_cast<QDropEvent *>(event));
        break;
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (!acceptUrls(*drop))
            break;
        const QList<QUrl> urls = drop->mimeData()->urls();
        if (urls.isEmpty())
            break;
        const QPoint point = drop->position().toPoint();
        emit OnFMDragDrop(this, int(urls.size()), point.x(), point.y(),
                          FileNames(urls, m_CharCase));
        break;
    }
    default:
        break;
    }
    // The target's own handling follows.
    return false;
}
