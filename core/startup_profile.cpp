// The start-up profile and the process clock it is measured against.
#include "core/startup_profile.h"

namespace {
const auto processStart = std::chrono::steady_clock::now();
}

StartupProfile& TheStartupProfile() {
    static StartupProfile profile;
    return profile;
}

double SecondsSinceProcessStart() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - processStart).count();
}
