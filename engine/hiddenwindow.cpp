#include "hiddenwindow.h"

#include <QGuiApplication>
#include <QWindow>

HiddenWindow::HiddenWindow()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        m_window = std::make_unique<QWindow>();
        m_window->setFlag(Qt::Tool);
        m_window->create();
    }
}

HiddenWindow::~HiddenWindow() = default;

uintptr_t HiddenWindow::handle() const
{
    return m_window ? uintptr_t(m_window->winId()) : 0;
}
