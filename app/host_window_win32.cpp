// Windows' screen-saver hosts start the show with /s and the preview with /p: no window of
// theirs is ever handed over this way.
#include "app/host_window.h"

std::optional<HostWindowRequest> HostWindowOfThisRun(int, const char* const*) { return std::nullopt; }

HostWindowResult OpenHostWindow(const HostWindowRequest&, HostedSurface&) { return HostWindowResult::NoWindow; }
