// SIGTERM, SIGINT and SIGHUP end the program the ordinary way: the event loop quits, the main
// window is destroyed and saves the settings and the last playlist, as on a normal quit. The end
// of the desktop session arrives the same way (the session manager quits the application, or
// the session's processes get SIGTERM / SIGHUP).
#pragma once

class QCoreApplication;

// Installs the handlers; the application quits at the first of these signals.
void quitOnTerminationSignals(QCoreApplication &application);
