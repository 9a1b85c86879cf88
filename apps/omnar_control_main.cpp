#include "gui/app/CZelvicControlApp.h"
#include "gui/app/LaunchOptions.h"
#include "core/settings/ProfileLocation.h"

#include <QCoreApplication>

#include <cstdio>

using omnar::gui::app::CZelvicControlApp;

int main(int argc, char** argv)
{
    omnar::gui::app::LaunchOptions options;
    {
        // Parse without a display, so --help and --version work on a bare console.
        QCoreApplication parsing(argc, argv);
        CZelvicControlApp::describeApplication();
        options = omnar::gui::app::parseLaunchOptions(parsing.arguments());
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "%s\n\n%s", qPrintable(options.error), qPrintable(options.helpText));
        return 2;
    }
    if (options.helpRequested) {
        std::fputs(qPrintable(options.helpText), stdout);
        return 0;
    }
    if (options.versionRequested) {
        std::printf("omnar-control %s\n", OMNAR_VERSION);
        return 0;
    }

    omnar::settings::ensureProfileFolder(options.configPath.toStdString());
    CZelvicControlApp app(argc, argv);
    return app.run(options);
}
