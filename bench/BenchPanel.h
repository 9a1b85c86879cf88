#pragma once

// The control panel as an operator starts it, for the benchmarks that drive it.

#include "bench/GuiStallMeters.h"
#include "core/panel/PanelIds.h"
#include "gui/app/CZelvicControlDlg.h"
#include "gui/app/PanelController.h"

#include <QAbstractButton>
#include <QObject>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <string>

namespace omnar::bench {

// A panel with its controller, its profile file in a folder of its own and
// message boxes printed and answered No (none are expected). The please-wait
// window runs modally, as it does for the operator.
struct BenchPanel {
    QTemporaryDir dir;
    std::unique_ptr<gui::app::CZelvicControlDlg> dlg;
    gui::app::PanelController* controller = nullptr; // owned by the panel
    int boxes = 0;

    explicit BenchPanel(const std::string& port, util::Clock& clock = util::RealClock::instance())
    {
        gui::app::CZelvicControlDlg::Options o;
        o.comPort = QString::fromStdString(port);
        o.configPath = dir.filePath(QStringLiteral("Planinfo.ini"));
        dlg = std::make_unique<gui::app::CZelvicControlDlg>(o);
        dlg->setMessageHandler([this](const QString& caption, const QString& text) {
            ++boxes;
            std::printf("  (message box: %s | %s)\n", caption.toStdString().c_str(), text.toStdString().c_str());
            return false;
        });
        gui::app::PanelController::Options co;
        co.portGiven = true;
        controller = new gui::app::PanelController(*dlg, co, clock);
        controller->start();
        dlg->show();
    }
    QAbstractButton* button(int id) const { return qobject_cast<QAbstractButton*>(dlg->control(id)); }
    // Clicks Connect; the please-wait window runs modally until the sequence ends.
    bool connect()
    {
        bool finished = false, connected = false;
        QObject scope;
        QObject::connect(controller, &gui::app::PanelController::connectFinished, &scope, [&](bool ok) {
            finished = true;
            connected = ok;
        });
        button(panel::ids::IDC_CONNECT)->click();
        runUntil([&] { return finished; });
        return connected && controller->state().connected;
    }
};

} // namespace omnar::bench
