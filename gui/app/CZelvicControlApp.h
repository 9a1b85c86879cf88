#pragma once

#include "gui/app/LaunchOptions.h"

#include <QApplication>

#include <functional>

namespace omnar::gui::app {

class CZelvicControlDlg;

// The application object: sets the program up and runs the control panel
// modally; the program ends when the panel does.
class CZelvicControlApp : public QApplication {
    Q_OBJECT
public:
    CZelvicControlApp(int& argc, char** argv);

    // Called with the panel after it is built and before it is shown: the
    // place to wire the link and load the settings.
    using PanelSetup = std::function<void(CZelvicControlDlg&)>;
    void setPanelSetup(PanelSetup setup) { m_panelSetup = std::move(setup); }

    // Returns the program's exit code.
    int run(const LaunchOptions& options);

    // The serial port to preselect: the last one the system lists, or empty.
    static QString lookUpSerialPort();

    // Name and version for --version and the window system.
    static void describeApplication();

private:
    PanelSetup m_panelSetup;
};

} // namespace omnar::gui::app
