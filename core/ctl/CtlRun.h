#pragma once

#include "core/ctl/CtlIo.h"
#include "core/ctl/CtlOptions.h"

#include <stop_token>

namespace omnar::ctl {

// Runs one omnar-ctl command line and returns its exit code. Every failure
// writes one line to io.err. `stop` ends the timer (and any wait of the
// other commands) at once.
int runCtl(const CtlOptions& options, const CtlIo& io, std::stop_token stop = {});

} // namespace omnar::ctl
