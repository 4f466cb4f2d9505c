// The three ways the program can be started, chosen by the first command-line argument in the
// manner of a screen saver: show (run), settings (configure), preview (draw into a host window).
#pragma once

enum class RunMode { Show, Settings, Preview };

// Only the first argument counts. "/s", "-S" and anything that is not a switch run the show;
// "/c..." the settings; "/p..." the preview. Characters after the switch letter are ignored.
RunMode ChooseRunMode(int argc, const char* const* argv);
