// What a show holds on its display besides its windows: the claim to be the one show there, the
// display settings the window library changes behind our back, and the requests from outside
// (signals, the end of the session) that end the run the way a key press does.
#pragma once

struct GLFWwindow;

// From now on SIGTERM, SIGINT and SIGHUP (Windows: a console's Ctrl+C or close, the end of the
// session) no longer kill the process: they ask the run to end, and EndRequested says so.
void InstallEndRequests();
bool EndRequested();

enum class ClaimResult { Claimed, AnotherShowRuns, NoDisplay };

// Claims the display for this show and saves the settings the window library will change (the X
// server's screen saver). AnotherShowRuns when a show already holds it: this one then ends at
// once. NoDisplay leaves the window's start to say why.
ClaimResult ClaimDisplay();
// Restores the saved settings and gives the claim back. Safe to call without a claim.
void ReleaseDisplay();

// Called on each window of ours once it exists: on Windows, gives the display back its own power
// saving (a full-screen window asks for it to stay on) and turns the end of the session into an
// end request. Nothing on X11, where ReleaseDisplay restores what changed.
void WatchShowWindow(GLFWwindow* window);
