// The desktop mirror's costs: one frame's caption work for 500 icons with 100-character labels
// (fit, measure, place; the drawing itself is GL and not measured), next to the shortening one
// unit at a time that it replaces; and capturing a freedesktop desktop of 1,000 items.
#include "desktop/desktop_capture.h"
#include "desktop/label_layout.h"

#include <benchmark/benchmark.h>
#include <glib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Advances like those of a 12 px sans-serif face: 3 to 11 px, dots 4 px.
float SansAdvance(char16_t code) {
    if (code == u'.') return 4.0f;
    if (code == u' ') return 4.0f;
    return static_cast<float>(3 + (code * 7) % 9);
}

std::vector<DesktopIcon> HundredCharacterLabels(int count) {
    std::vector<DesktopIcon> icons(count);
    for (int i = 0; i < count; ++i) {
        icons[i].position = {36 + (i / 11) * 96, 20 + (i % 11) * 96};
        icons[i].width = 48;
        icons[i].height = 48;
        for (int c = 0; c < 100; ++c) icons[i].label += static_cast<char16_t>(u'a' + (i * 31 + c * 7) % 26);
    }
    return icons;
}

void LabelLayoutPerFrame(benchmark::State& state) {
    std::vector<DesktopIcon> icons = HundredCharacterLabels(500);
    GlyphAdvanceTable advances(SansAdvance);
    float checksum = 0.0f;
    for (auto _ : state) {
        for (const DesktopIcon& icon : icons) {
            const LabelPlacement placement = PlaceLabel(advances, icon);
            checksum += placement.position.x;
            benchmark::DoNotOptimize(placement.text.data());
        }
    }
    benchmark::DoNotOptimize(checksum);
    state.SetLabel("500 icons, 100-character labels, per frame");
}
BENCHMARK(LabelLayoutPerFrame)->Unit(benchmark::kMicrosecond);

// The shortening as stated: measure one candidate per removed code unit.
void LabelLayoutOneUnitAtATime(benchmark::State& state) {
    std::vector<DesktopIcon> icons = HundredCharacterLabels(500);
    GlyphAdvanceTable advances(SansAdvance);
    for (auto _ : state) {
        for (const DesktopIcon& icon : icons) {
            std::u16string work = icon.label;
            std::u16string fitted = work;
            if (advances.Measure(work) > LabelWidthLimit) {
                fitted = u"...";
                while (!work.empty()) {
                    work.pop_back();
                    std::u16string candidate = work + u"...";
                    if (advances.Measure(candidate) <= LabelWidthLimit) {
                        fitted = candidate;
                        break;
                    }
                }
            }
            const Vec2 position = LabelPosition(icon.position, icon.width, icon.height, advances.Measure(fitted));
            benchmark::DoNotOptimize(position);
        }
    }
    state.SetLabel("reference: the same output, shortened one unit at a time");
}
BENCHMARK(LabelLayoutOneUnitAtATime)->Unit(benchmark::kMicrosecond);

// A home directory whose desktop holds 1,000 items of the usual kinds, prepared once before GLib
// first reads HOME.
void PrepareThousandItemHome() {
    static bool prepared = false;
    if (prepared) return;
    prepared = true;
    const std::filesystem::path home = std::filesystem::temp_directory_path() / "gravefall-bench-home";
    std::filesystem::remove_all(home);
    const std::filesystem::path desktop = home / "Desktop";
    std::filesystem::create_directories(desktop);
    // XFCE runs also read xfdesktop 4.20's record of a slot for every item.
    std::filesystem::create_directories(home / ".config/xfce4/desktop");
    std::ofstream slots(home / ".config/xfce4/desktop/icons.screen0.yaml");
    slots << "configs:\n- level: 0\n  monitors:\n  - id: \"bench\"\n    display_name: \"Bench (DP-1)\"\n"
             "    geometry: {x: 0, y: 0, width: 1920, height: 1080}\n  icons:\n";
    for (int i = 0; i < 1000; ++i) {
        const std::string stem = "item " + std::to_string(i);
        const char* const extensions[] = {"", ".txt", ".pdf", ".png", ".desktop"};
        slots << "    \"" << (desktop / (stem + extensions[i % 5])).string() << "\": {row: " << i % 9 << ", col: " << i / 9
              << "}\n";
        switch (i % 5) {
            case 0: std::filesystem::create_directories(desktop / stem); break;
            case 1: std::ofstream(desktop / (stem + ".txt")) << "text"; break;
            case 2: std::ofstream(desktop / (stem + ".pdf")) << "%PDF"; break;
            case 3: std::ofstream(desktop / (stem + ".png")) << "png"; break;
            default:
                std::ofstream(desktop / (stem + ".desktop"))
                    << "[Desktop Entry]\nType=Application\nName=Launcher " << i << "\nIcon=utilities-terminal\n";
        }
    }
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    setenv("GSETTINGS_BACKEND", "memory", 1);
}

// The desktop environment each run arranges the desktop as.
constexpr const char* Environments[] = {"", "XFCE", "LXDE", "KDE", "MATE"};

void CaptureThousandItemDesktop(benchmark::State& state) {
    PrepareThousandItemHome();
    const char* environment = Environments[state.range(0)];
    setenv("XDG_CURRENT_DESKTOP", environment, 1);
    std::size_t captured = 0;
    for (auto _ : state) {
        const std::optional<CapturedDesktop> desktop = CaptureDesktop();
        if (!desktop) {
            state.SkipWithError("the desktop could not be read");
            break;
        }
        captured = desktop->icons.size();
    }
    state.counters["icons"] = static_cast<double>(captured);
    state.SetLabel(std::string("1,000 items arranged as ") + (*environment ? environment : "no environment") +
                   ", icon theme lookups and images included");
}
BENCHMARK(CaptureThousandItemDesktop)->Unit(benchmark::kMillisecond)->Iterations(5)->DenseRange(0, 4);

}  // namespace
