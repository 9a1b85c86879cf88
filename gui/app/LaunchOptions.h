#pragma once

#include <QString>
#include <QStringList>

namespace omnar::gui::app {

// What the command line asks of omnar-control.
struct LaunchOptions {
    // --config, else ./Planinfo.ini when it exists, else the user's configuration folder.
    QString configPath = QStringLiteral("./Planinfo.ini");
    // Preselected COM box text; empty means look the port up.
    QString port;
    bool advanced = false;
    // Connect at start-up whatever AutoConnect says.
    bool connect = false;
    bool helpRequested = false;
    bool versionRequested = false;
    // Set when the command line cannot be used; the help text tells why too.
    QString error;
    QString helpText;
};

// Needs a QCoreApplication (the help text names the program).
LaunchOptions parseLaunchOptions(const QStringList& arguments);

} // namespace omnar::gui::app
