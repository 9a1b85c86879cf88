#pragma once

#include "core/link/DeviceJob.h"
#include "core/setup/DialogJobs.h"
#include "tests/support/ScriptedDevice.h"

#include <memory>

namespace omnar::test {

// Runs a window model's jobs the way its window does, but on the test's
// thread against a scripted device on virtual time: every report goes to
// apply(), the end to jobFinished(), and a job that was waiting its turn
// runs next.
struct ModelRig {
    util::VirtualClock clock;
    link::Link link{clock};
    ScriptedDevice* device = nullptr;

    ModelRig()
    {
        auto d = std::make_unique<ScriptedDevice>();
        device = d.get();
        link.setTransport(std::move(d));
    }

    // Everything the window applies, merged in order.
    template <typename Model>
    setup::SetupView run(Model& model, setup::SetupAction action)
    {
        setup::SetupView view = action.view;
        while (action.job) {
            std::stop_source never;
            link::JobLink job(link, never.get_token());
            (*action.job)(job, [&](const setup::Report& r) { view.merge(model.apply(r)); });
            action = model.jobFinished();
            view.merge(action.view);
        }
        return view;
    }

    // Bytes 2..11 of the last frame written.
    std::vector<int> lastFrame() const
    {
        const auto all = device->written();
        if (all.empty())
            return {};
        return std::vector<int>(all.back().begin() + 2, all.back().begin() + 12);
    }
};

} // namespace omnar::test
