#include "oneinstance.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "desktopsession.h"
#include "instanceguard.h"
#include "screenplacement.h"

namespace {

// Live guards in this process; a second one would act twice on the same start.
int s_liveGuards = 0;

} // namespace

TLMDOneInstance::TLMDOneInstance(QObject *parent)
    : TLMDOneInstance(InstanceGuard::current(), parent)
{
}

TLMDOneInstance::TLMDOneInstance(InstanceGuard *guard, QObject *parent)
    : QObject(parent), m_guard(guard)
{
    if (s_liveGuards > 0) {
        const QString name = QString::fromLatin1(metaObject()->className());
        throw std::runtime_error(
            QStringLiteral("%1:\nAlready one %1 control in this project!").arg(name).toStdString());
    }
    ++s_liveGuards;
}

TLMDOneInstance::~TLMDOneInstance()
{
    --s_liveGuards;
}

void TLMDOneInstance::Loaded()
{
    if (!m_Enabled || !m_guard || !m_guard->AnotherCopy())
        return;
    switch (m_Mode) {
    case oiActivateOnly:
        activate();
        break;
    case oiDefaultMessage: {
        const QString title = QApplication::applicationDisplayName();
        QMessageBox::information(nullptr, title,
                                 QStringLiteral("\"%1\" was already started...").arg(title),
                                 QMessageBox::Ok);
        activate();
        break;
    }
    case oiCustom:
        if (m_OnCustom)
            m_OnCustom(this);
        else
            activate();
        break;
    }
    m_ending();
}

void TLMDOneInstance::activate()
{
    // When the first copy does not answer, this copy ends all the same.
    m_guard->ActivateFirstCopy();
    // A Wayland compositor lets a window take the focus only with a token from whoever started
    // this copy; without one the running window may stay behind.
    if (DesktopSession::isWayland() && qEnvironmentVariableIsEmpty("XDG_ACTIVATION_TOKEN"))
        std::fputs("norlplayer: NorlPlayer is already running; the desktop gave no activation "
                   "token, so its window cannot be brought forward\n",
                   stderr);
}

void TLMDOneInstance::BringForward(QWidget &window)
{
    keepOnScreen(window);
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

void TLMDOneInstance::EndProcess()
{
    // Returning would run the main window's destructor, which saves the settings and the
    // playlist of this half-started copy over the first copy's. _Exit rather than exit(): no
    // exit handler or static destructor runs either, so nothing of this copy is written.
    std::fflush(nullptr);
    std::_Exit(0);
}
