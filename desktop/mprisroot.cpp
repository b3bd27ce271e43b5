#include "mprisroot.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include "mprisservice.h"
#include "oneinstance.h"

MprisRoot::MprisRoot(MprisService &service) : QDBusAbstractAdaptor(&service), m_service(service) {}

void MprisRoot::Raise()
{
    TLMDOneInstance::BringForward(m_service.window());
}

void MprisRoot::Quit()
{
    // After this turn, so that the caller gets its answer before the program ends. The window
    // may be hidden in the tray, where closing it alone ends nothing.
    QWidget *window = &m_service.window();
    QTimer::singleShot(0, window, [window] {
        window->close();
        QCoreApplication::quit();
    });
}
