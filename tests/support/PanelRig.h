#pragma once

#include "core/panel/PanelIds.h"
#include "gui/app/CZelvicControlDlg.h"
#include "gui/app/PanelController.h"
#include "tests/support/QuietSim.h"

#include <QAbstractButton>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

namespace omnar::test {

// A panel with its controller over a profile file of its own. Message boxes
// are recorded and answered with `answer`; the please-wait window is not run
// modally.
struct PanelRig {
    QTemporaryDir dir;
    std::unique_ptr<gui::app::CZelvicControlDlg> panel;
    gui::app::PanelController* controller = nullptr; // owned by the panel
    QStringList boxes;                               // "caption|text"
    bool answer = false;

    // `ini` is the profile file's text; `start` loads the settings at once
    // (with AutoConnect the connect follows when the event loop runs).
    explicit PanelRig(const QString& port, bool portGiven = true, const QString& ini = {}, bool start = true)
    {
        gui::app::CZelvicControlDlg::Options o;
        o.comPort = port;
        o.configPath = dir.filePath(QStringLiteral("Planinfo.ini"));
        if (!ini.isEmpty()) {
            QFile f(o.configPath);
            if (f.open(QIODevice::WriteOnly))
                f.write(ini.toUtf8());
        }
        panel = std::make_unique<gui::app::CZelvicControlDlg>(o);
        panel->setMessageHandler([this](const QString& caption, const QString& text) {
            boxes << caption + "|" + text;
            return answer;
        });
        gui::app::PanelController::Options co;
        co.portGiven = portGiven;
        controller = new gui::app::PanelController(*panel, co);
        controller->setProgressRunner([](gui::link::CProgress&) {});
        if (start)
            controller->start();
    }

    QWidget* w(int id) const { return panel->control(id); }
    bool enabled(int id) const { return w(id)->isEnabled(); }
    void click(int id) { qobject_cast<QAbstractButton*>(w(id))->click(); }
    // Presses Connect and waits for the sequence to end; true when connected.
    bool connect()
    {
        QSignalSpy spy(controller, &gui::app::PanelController::connectFinished);
        click(panel::ids::IDC_CONNECT);
        return spy.wait(15000) && spy.first().first().toBool();
    }
};

} // namespace omnar::test
