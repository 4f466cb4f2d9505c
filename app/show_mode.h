// The show mode: start-up in its fixed order, the frame loop, and teardown in reverse.
#pragma once

// Returns the process exit code: 0 after a normal end, 1 when the desktop or the font cannot be
// read, -1 when the window or the GL loader fails.
int RunShowMode();
