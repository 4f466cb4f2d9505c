// Where xfdesktop 4.20 keeps the slots the icons were put in: one YAML file for all monitors
// (~/.config/xfce4/desktop/icons.screen0.yaml), a config per monitor set, and the monitor a
// config belongs to found by the monitor's identifier or its geometry.
#pragma once

#include "desktop/xdg/icon_layout.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A saved row and column as a slot; none for one outside any grid (negative, or absurdly far).
inline std::optional<Slot> XfceSlot(std::int64_t row, std::int64_t column) {
    if (row < 0 || column < 0 || row >= 100000 || column >= 100000) return std::nullopt;
    return Slot{static_cast<std::int32_t>(column), static_cast<std::int32_t>(row)};
}

struct XfceMonitorRecord {
    std::string id;
    std::int32_t x = 0, y = 0, width = 0, height = 0;
};

struct XfcePositionConfig {
    int level = 0;  // 0 the primary monitor's, 1 another's; the higher wins where both place an icon
    std::vector<XfceMonitorRecord> monitors;
    std::map<std::string, Slot> icons;  // identifier (a path, else a URI) -> its slot
};

// The configs in the order xfdesktop holds them (higher level first); none when xfdesktop would
// refuse the file: anything but its own structure, an alias, a missing field or a number that
// does not parse.
std::optional<std::vector<XfcePositionConfig>> ParseXfcePositionConfigs(std::string_view yaml);

// How libxfce4windowing names a monitor on X: the SHA-1 of its EDID, else of its connector.
std::string XfceMonitorIdentifier(std::string_view edid, std::string_view connector);

// The config xfdesktop gives the monitor: the first naming its identifier, else the only one
// with a monitor of its size, else among several the only one with a monitor of its exact
// geometry; none when it would ask the user (or make a new one).
const XfcePositionConfig* XfceConfigForMonitor(const std::vector<XfcePositionConfig>& configs, const XfceMonitorRecord& monitor);
