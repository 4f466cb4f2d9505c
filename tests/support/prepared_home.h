// A throw-away home directory for tests of the freedesktop shell, and running code against it.
// GLib reads HOME and the XDG directories once per process, so every run against a prepared home
// happens in a child process of its own; the desktops' own tools (gsettings, gio) run there too.
#pragma once

#include "desktop/desktop_capture.h"

#include <gtest/gtest.h>

#include <glib.h>
#include <sys/wait.h>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

inline std::string Utf8(const std::u16string& text) {
    gchar* utf8 = g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(text.data()), static_cast<glong>(text.size()),
                                  nullptr, nullptr, nullptr);
    std::string result = utf8 ? utf8 : "<invalid>";
    g_free(utf8);
    return result;
}


inline void Write(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// A throw-away home directory with the XDG variables pointing into it.
class PreparedHome : public testing::Test {
protected:
    fs::path home;
    std::string busAddress;
    pid_t busPid = 0;

    void SetUp() override {
        char pattern[] = "/tmp/gravefall-home-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home = pattern;
    }
    void TearDown() override {
        if (busPid > 0) kill(busPid, SIGTERM);  // its activated services end with it
        std::error_code ignored;
        fs::permissions(home, fs::perms::owner_all, ignored);
        fs::remove_all(home, ignored);
    }

    // The environment a child sees: this home, no desktop named, settings in memory.
    std::map<std::string, std::string> Environment(const std::map<std::string, std::string>& extra = {}) const {
        std::map<std::string, std::string> environment = {
            {"HOME", home.string()},
            {"XDG_CONFIG_HOME", (home / ".config").string()},
            {"XDG_DATA_HOME", (home / ".local/share").string()},
            {"XDG_CONFIG_DIRS", (home / "etc-xdg").string()},
            {"XDG_DATA_DIRS", "/usr/share"},
            {"XDG_CURRENT_DESKTOP", ""},
            {"GSETTINGS_BACKEND", "memory"},
            {"DISPLAY", ""},
            {"LANGUAGE", ""},
            {"LC_ALL", ""},
            {"LANG", "C.UTF-8"},
        };
        for (auto& [name, value] : extra) environment[name] = value;
        return environment;
    }

    // Runs a program (a desktop's own tool) with this home's environment; true when it succeeds.
    bool RunTool(const std::vector<std::string>& arguments, const std::map<std::string, std::string>& extra = {}) {
        std::vector<std::string> variables;
        for (auto& [name, value] : Environment(extra))
            if (!value.empty()) variables.push_back(name + "=" + value);
        if (const char* path = g_getenv("PATH")) variables.push_back(std::string("PATH=") + path);
        std::vector<gchar*> argv, envp;
        for (const std::string& argument : arguments) argv.push_back(const_cast<gchar*>(argument.c_str()));
        argv.push_back(nullptr);
        for (const std::string& variable : variables) envp.push_back(const_cast<gchar*>(variable.c_str()));
        envp.push_back(nullptr);
        gint status = 0;
        gchar* errors = nullptr;
        const bool ran = g_spawn_sync(nullptr, argv.data(), envp.data(), G_SPAWN_SEARCH_PATH, nullptr, nullptr,
                                      nullptr, &errors, &status, nullptr);
        const bool succeeded = ran && g_spawn_check_wait_status(status, nullptr);
        EXPECT_TRUE(succeeded) << arguments[0] << ": " << (errors ? errors : "");
        g_free(errors);
        return succeeded;
    }

    // A session bus of this home's own, for tools and code that need one (GIO's metadata store);
    // its address, to pass as DBUS_SESSION_BUS_ADDRESS. Ended with the test.
    std::string SessionBus() {
        if (!busAddress.empty()) return busAddress;
        gchar* output = nullptr;
        gint status = 0;
        const gchar* argv[] = {"dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1", nullptr};
        std::vector<std::string> variables;
        for (auto& [name, value] : Environment())
            if (!value.empty()) variables.push_back(name + "=" + value);
        if (const char* path = g_getenv("PATH")) variables.push_back(std::string("PATH=") + path);
        std::vector<gchar*> envp;
        for (const std::string& variable : variables) envp.push_back(const_cast<gchar*>(variable.c_str()));
        envp.push_back(nullptr);
        if (g_spawn_sync(nullptr, const_cast<gchar**>(argv), envp.data(), G_SPAWN_SEARCH_PATH, nullptr, nullptr, &output,
                         nullptr, &status, nullptr) &&
            output != nullptr) {
            const std::vector<std::string> lines = Lines(output);
            if (lines.size() >= 2) {
                busAddress = lines[0];
                busPid = static_cast<pid_t>(std::atoi(lines[1].c_str()));
            }
        }
        g_free(output);
        EXPECT_FALSE(busAddress.empty()) << "no session bus";
        return busAddress;
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    // One line per captured icon: "label|x|y|width|height|r,g,b,a of the centre pixel"; "FAILED"
    // when the capture fails.
    static std::string CaptureLines() {
        const std::optional<CapturedDesktop> desktop = CaptureDesktop();
        if (!desktop) return "FAILED";
        std::ostringstream out;
        for (const DesktopIcon& icon : desktop->icons) {
            const std::int32_t width = icon.image.width, height = icon.image.height;
            const std::vector<unsigned char>& pixels = icon.image.pixels;
            out << Utf8(icon.label) << '|' << icon.position.x << '|' << icon.position.y << '|' << icon.width << '|'
                << icon.height << '|';
            if (width == icon.width && height == icon.height && width > 0 &&
                pixels.size() == static_cast<std::size_t>(width) * height * 4) {
                const std::size_t centre = (static_cast<std::size_t>(height / 2) * width + width / 2) * 4;
                out << int(pixels[centre]) << ',' << int(pixels[centre + 1]) << ',' << int(pixels[centre + 2]) << ','
                    << int(pixels[centre + 3]);
            } else {
                out << "no pixels";
            }
            out << '\n';
        }
        return out.str();
    }

    // Runs body in a child process that sees this home; returns what body returned. extra adds to
    // or (with an empty value) removes from the environment.
    std::string InChild(const std::function<std::string()>& body, std::map<std::string, std::string> extra = {}) {
        const std::map<std::string, std::string> environment = Environment(extra);

        int channel[2];
        if (pipe(channel) != 0) return "pipe failed";
        const pid_t child = fork();
        if (child == 0) {
            close(channel[0]);
            alarm(60);  // a run that hangs fails instead of stopping the suite
            for (auto& [name, value] : environment) {
                if (value.empty()) unsetenv(name.c_str());
                else setenv(name.c_str(), value.c_str(), 1);
            }
            const std::string result = body();
            std::size_t written = 0;
            while (written < result.size()) {
                const ssize_t n = write(channel[1], result.data() + written, result.size() - written);
                if (n <= 0) break;
                written += static_cast<std::size_t>(n);
            }
            _exit(0);
        }
        close(channel[1]);
        std::string output;
        char buffer[4096];
        ssize_t n;
        while ((n = read(channel[0], buffer, sizeof buffer)) > 0) output.append(buffer, static_cast<std::size_t>(n));
        close(channel[0]);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child process crashed";
        return output;
    }
};
