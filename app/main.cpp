// Gravefall's entry: join the apartment, pick the run mode from the first argument, run it.
#include "app/host_window.h"
#include "app/platform.h"
#include "app/run_mode.h"
#include "app/show_mode.h"

int main(int argc, char** argv) {
    if (JoinApartment() == ApartmentResult::Failed) return 1;

    switch (ChooseRunMode(argc, argv)) {
        case RunMode::Settings:
            ShowMessageBox("Settings", "No configurable settings.");
            return 0;
        case RunMode::Preview:
            return 0;
        case RunMode::Show:
            break;
    }
    const int exitCode = RunShowMode(HostWindowOfThisRun(argc, argv));
    if (exitCode == 0) LeaveApartment();
    return exitCode;
}
