// The show mode: start-up in its fixed order, the frame loop, and teardown in reverse.
#pragma once

#include "app/run_mode.h"

#include <optional>

// Returns the process exit code: 0 after a normal end, 1 when the desktop or the font cannot be
// read, -1 when the window or the GL loader fails. With a host's window the show draws there
// instead of in a window of its own.
int RunShowMode(const std::optional<HostWindowRequest>& host);
