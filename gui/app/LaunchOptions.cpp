#include "gui/app/LaunchOptions.h"

#include "core/settings/ProfileLocation.h"

#include <QCommandLineParser>

namespace omnar::gui::app {

LaunchOptions parseLaunchOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Control panel for the Omnar video processor."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption config(QStringLiteral("config"),
                                    QStringLiteral("Profile file with the connection settings and the "
                                                   "timer plans (default ./Planinfo.ini when it exists, "
                                                   "else ~/.config/omnar/Planinfo.ini)."),
                                    QStringLiteral("PATH"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Serial port to use: preselected in the COM box, with "
                                                 "Serial chosen; e.g. COM3, ttyUSB0 or /dev/pts/4."),
                                  QStringLiteral("NAME"));
    const QCommandLineOption advanced(QStringLiteral("advanced"),
                                      QStringLiteral("Also show the network link, device id, DP, VGA2, "
                                                     "MOSAIC and Mosaic controls."));
    const QCommandLineOption connectNow(QStringLiteral("connect"),
                                        QStringLiteral("Connect at start-up, as AutoConnect does, without "
                                                       "changing the profile file."));
    parser.addOption(config);
    parser.addOption(port);
    parser.addOption(advanced);
    parser.addOption(connectNow);

    // Qt's own window-system options (-platform offscreen, -style …) are left
    // in the arguments for QApplication; accept them here without comment.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                             "qwindowtitle", "qwindowicon", "display", "geometry", "style", "stylesheet",
                             "session", "name", "title", "qmljsdebugger"}) {
        QCommandLineOption qtOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
        QCommandLineOption qtFlag(QString::fromLatin1(name));
        qtFlag.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtFlag);
    }

    LaunchOptions options;
    const bool ok = parser.parse(arguments);
    options.helpText = parser.helpText();
    if (!ok) {
        options.error = parser.errorText();
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        options.error = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
        return options;
    }
    options.helpRequested = parser.isSet(help) || parser.isSet(QStringLiteral("help-all"));
    options.versionRequested = parser.isSet(version);
    if (parser.isSet(config)) {
        options.configPath = parser.value(config);
        if (options.configPath.isEmpty())
            options.error = QStringLiteral("--config needs a file path.");
    } else {
        options.configPath = QString::fromStdString(settings::resolveProfilePath(std::nullopt));
    }
    if (parser.isSet(port)) {
        options.port = parser.value(port).trimmed();
        if (options.port.isEmpty())
            options.error = QStringLiteral("--port needs a port name.");
    }
    options.advanced = parser.isSet(advanced);
    options.connect = parser.isSet(connectNow);
    return options;
}

} // namespace omnar::gui::app
