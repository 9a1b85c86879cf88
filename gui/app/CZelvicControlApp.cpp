#include "gui/app/CZelvicControlApp.h"

#include "gui/app/AppIcon.h"
#include "gui/app/CZelvicControlDlg.h"
#include "gui/app/PanelController.h"

#include <QSerialPortInfo>

namespace omnar::gui::app {

CZelvicControlApp::CZelvicControlApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    describeApplication();
    setWindowIcon(appIcon());
}

void CZelvicControlApp::describeApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("omnar-control"));
    QCoreApplication::setApplicationVersion(QStringLiteral(OMNAR_VERSION));
    // No display name: the window system would append it to every window's
    // title, and the panel's title is exactly its own.
}

QString CZelvicControlApp::lookUpSerialPort()
{
    const auto ports = QSerialPortInfo::availablePorts();
    return ports.isEmpty() ? QString() : ports.last().portName();
}

int CZelvicControlApp::run(const LaunchOptions& options)
{
    CZelvicControlDlg::Options panelOptions;
    panelOptions.advanced = options.advanced;
    panelOptions.comPort = options.port.isEmpty() ? lookUpSerialPort() : options.port;
    panelOptions.configPath = options.configPath;

    CZelvicControlDlg panel(panelOptions);
    PanelController::Options controllerOptions;
    controllerOptions.portGiven = !options.port.isEmpty();
    controllerOptions.connectAtStart = options.connect;
    PanelController controller(panel, controllerOptions);
    if (m_panelSetup)
        m_panelSetup(panel);
    controller.start();
    panel.exec();
    return 0;
}

} // namespace omnar::gui::app
