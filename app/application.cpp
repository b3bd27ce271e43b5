#include "application.h"

#include <QFont>
#include <QMessageBox>
#include <QWidget>
#include <cstdio>
#include <exception>

#include "trayicon.h"

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("NorlPlayer"));
    setApplicationDisplayName(QStringLiteral("NorlPlayer"));
    setApplicationVersion(QStringLiteral("1.5"));
    // Ties the windows to the menu entry (the Wayland application id, startup notification).
    setDesktopFileName(QStringLiteral("norlplayer"));
    // The forms ask for the classic dialog face; Liberation Sans has its metrics.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

void TApplication::SetProgramIcon()
{
    setWindowIcon(TLMDTrayIcon::programIcon(applicationDirPath()));
}

void TApplication::ShowException()
{
    QString message;
    try {
        throw;
    } catch (const std::exception &error) {
        message = QString::fromLocal8Bit(error.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    std::fprintf(stderr, "NorlPlayer: %s\n", qPrintable(message));
    QWidget *owner = activeWindow();
    if (!owner)
        if (auto *application = qobject_cast<TApplication *>(instance()))
            owner = application->m_MainForm;
    QMessageBox box(QMessageBox::Critical, applicationDisplayName(), message, QMessageBox::Ok,
                    owner);
    box.exec();
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException();
        return false;
    }
}
