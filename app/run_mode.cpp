// Choosing the run mode from the first command-line argument.
#include "app/run_mode.h"

#include <cctype>
#include <cstring>

RunMode ChooseRunMode(int argc, const char* const* argv) {
    if (argc < 2 || argv[1] == nullptr) return RunMode::Show;
    const char* argument = argv[1];
    if (std::strlen(argument) < 2 || (argument[0] != '/' && argument[0] != '-')) return RunMode::Show;

    switch (std::tolower(static_cast<unsigned char>(argument[1]))) {
        case 'c': return RunMode::Settings;
        case 'p': return RunMode::Preview;
        default: return RunMode::Show;  // 's' and every other letter
    }
}
