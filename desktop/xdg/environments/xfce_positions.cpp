// xfdesktop 4.20's icon positions, read with libyaml as xfdesktop reads them
// (src/xfdesktop-icon-position-configs.c): its own structure or nothing, keys compared with
// strncmp over the key's length, numbers with strtol/strtoul.
#include "desktop/xdg/environments/xfce_positions.h"

#include <glib.h>
#include <yaml.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// Pulls libyaml's events one at a time; any event out of place ends the parse.
class Events {
public:
    explicit Events(std::string_view text) {
        ok_ = yaml_parser_initialize(&parser_) != 0;
        if (ok_) yaml_parser_set_input_string(&parser_, reinterpret_cast<const unsigned char*>(text.data()), text.size());
    }
    ~Events() {
        Release();
        yaml_parser_delete(&parser_);
    }
    Events(const Events&) = delete;
    Events& operator=(const Events&) = delete;

    // The next event that is not the start or end of a document (xfdesktop skips those).
    yaml_event_type_t Next() {
        do {
            Release();
            if (!ok_ || yaml_parser_parse(&parser_, &event_) == 0) {
                ok_ = false;
                return YAML_NO_EVENT;
            }
            held_ = true;
        } while (event_.type == YAML_DOCUMENT_START_EVENT || event_.type == YAML_DOCUMENT_END_EVENT);
        if (event_.type == YAML_ALIAS_EVENT) ok_ = false;  // xfdesktop refuses aliases
        return ok_ ? event_.type : YAML_NO_EVENT;
    }
    std::string Scalar() const {
        return std::string(reinterpret_cast<const char*>(event_.data.scalar.value), event_.data.scalar.length);
    }
    // A key names a field when the field's name begins with it.
    bool KeyIs(const char* name) const {
        return std::strncmp(reinterpret_cast<const char*>(event_.data.scalar.value), name, event_.data.scalar.length) == 0;
    }
    bool PlainOrLiteral() const {
        return event_.data.scalar.style == YAML_PLAIN_SCALAR_STYLE || event_.data.scalar.style == YAML_LITERAL_SCALAR_STYLE;
    }

private:
    void Release() {
        if (held_) yaml_event_delete(&event_);
        held_ = false;
    }
    yaml_parser_t parser_{};
    yaml_event_t event_{};
    bool held_ = false;
    bool ok_ = false;
};

// The next event as a whole number: strtol's (or for rows and columns strtoul's) reading of a
// plain or literal scalar, the rest of it empty, kept in 32 bits as xfdesktop keeps it.
bool WholeNumber(Events& events, bool asUnsigned, std::int32_t& value) {
    if (events.Next() != YAML_SCALAR_EVENT || !events.PlainOrLiteral()) return false;
    const std::string text = events.Scalar();
    char* end = nullptr;
    errno = 0;
    const unsigned long number = asUnsigned ? std::strtoul(text.c_str(), &end, 10)
                                            : static_cast<unsigned long>(std::strtol(text.c_str(), &end, 10));
    if (errno != 0 || *end != '\0') return false;
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
    return true;
}

bool Geometry(Events& events, XfceMonitorRecord& monitor, int& fields) {
    if (events.Next() != YAML_MAPPING_START_EVENT) return false;
    const char* const names[] = {"x", "y", "width", "height"};
    std::int32_t* const values[] = {&monitor.x, &monitor.y, &monitor.width, &monitor.height};
    for (yaml_event_type_t event; (event = events.Next()) != YAML_MAPPING_END_EVENT;) {
        if (event != YAML_SCALAR_EVENT) return false;
        int k = 0;
        while (k < 4 && !events.KeyIs(names[k])) ++k;
        if (k == 4 || !WholeNumber(events, false, *values[k])) return false;
        fields |= 1 << k;
    }
    return true;
}

bool Monitor(Events& events, XfcePositionConfig& config) {
    XfceMonitorRecord monitor;
    bool hasId = false;
    std::string name;
    int fields = 0;
    for (yaml_event_type_t event; (event = events.Next()) != YAML_MAPPING_END_EVENT;) {
        if (event != YAML_SCALAR_EVENT) return false;
        if (events.KeyIs("id")) {
            if (events.Next() != YAML_SCALAR_EVENT) return false;
            monitor.id = events.Scalar();
            hasId = true;
        } else if (events.KeyIs("display_name")) {
            if (events.Next() != YAML_SCALAR_EVENT) return false;
            name = events.Scalar();
        } else if (!events.KeyIs("geometry") || !Geometry(events, monitor, fields)) {
            return false;
        }
    }
    if (!hasId || name.empty() || fields != 0xf) return false;
    // Kept by identifier: a later entry of the same monitor replaces the earlier.
    const auto same = std::find_if(config.monitors.begin(), config.monitors.end(),
                                   [&](const XfceMonitorRecord& known) { return known.id == monitor.id; });
    if (same != config.monitors.end()) *same = monitor;
    else config.monitors.push_back(monitor);
    return true;
}

bool Icons(Events& events, XfcePositionConfig& config) {
    if (events.Next() != YAML_MAPPING_START_EVENT) return false;
    for (yaml_event_type_t event; (event = events.Next()) != YAML_MAPPING_END_EVENT;) {
        if (event != YAML_SCALAR_EVENT) return false;
        const std::string id = events.Scalar();
        if (events.Next() != YAML_MAPPING_START_EVENT) return false;
        std::int32_t row = 0, column = 0, lastSeen = 0;
        bool hasRow = false, hasColumn = false;
        while ((event = events.Next()) != YAML_MAPPING_END_EVENT) {
            if (event != YAML_SCALAR_EVENT) return false;
            std::int32_t* const field = events.KeyIs("row") ? &row : events.KeyIs("col") ? &column
                                        : events.KeyIs("last_seen") ? &lastSeen : nullptr;
            if (field == nullptr || !WholeNumber(events, true, *field)) return false;
            hasRow |= field == &row;
            hasColumn |= field == &column;
        }
        if (!hasRow || !hasColumn) return false;
        // A slot no grid has (a negative number read back from the guint) is never placed.
        if (const std::optional<Slot> slot = XfceSlot(row, column)) config.icons[id] = *slot;
        else config.icons.erase(id);
    }
    return true;
}

bool Config(Events& events, XfcePositionConfig& config) {
    bool hasLevel = false;
    for (yaml_event_type_t event; (event = events.Next()) != YAML_MAPPING_END_EVENT;) {
        if (event != YAML_SCALAR_EVENT) return false;
        if (events.KeyIs("level")) {
            std::int32_t level = -1;
            if (!WholeNumber(events, false, level)) return false;
            config.level = level;
            hasLevel = level != -1;
        } else if (events.KeyIs("monitors")) {
            if (events.Next() != YAML_SEQUENCE_START_EVENT) return false;
            while ((event = events.Next()) != YAML_SEQUENCE_END_EVENT)
                if (event != YAML_MAPPING_START_EVENT || !Monitor(events, config)) return false;
        } else if (!events.KeyIs("icons") || !Icons(events, config)) {
            return false;
        }
    }
    return hasLevel;
}

}  // namespace

std::optional<std::vector<XfcePositionConfig>> ParseXfcePositionConfigs(std::string_view yaml) {
    Events events(yaml);
    if (events.Next() != YAML_STREAM_START_EVENT) return std::nullopt;
    std::vector<XfcePositionConfig> configs;
    for (yaml_event_type_t event; (event = events.Next()) != YAML_STREAM_END_EVENT;) {
        if (event != YAML_MAPPING_START_EVENT) return std::nullopt;
        while ((event = events.Next()) != YAML_MAPPING_END_EVENT) {
            if (event != YAML_SCALAR_EVENT || !events.KeyIs("configs")) return std::nullopt;
            if (events.Next() != YAML_SEQUENCE_START_EVENT) return std::nullopt;
            while ((event = events.Next()) != YAML_SEQUENCE_END_EVENT) {
                if (event != YAML_MAPPING_START_EVENT) return std::nullopt;
                configs.emplace_back();
                if (!Config(events, configs.back())) return std::nullopt;
            }
        }
    }
    // xfdesktop gathers them last first, then sorts them (stably) by level, highest first.
    std::reverse(configs.begin(), configs.end());
    std::stable_sort(configs.begin(), configs.end(),
                     [](const XfcePositionConfig& a, const XfcePositionConfig& b) { return a.level > b.level; });
    return configs;
}

std::string XfceMonitorIdentifier(std::string_view edid, std::string_view connector) {
    const std::string_view data = edid.empty() ? connector : edid;
    gchar* sum = g_compute_checksum_for_data(G_CHECKSUM_SHA1, reinterpret_cast<const guchar*>(data.data()), data.size());
    std::string id = sum ? sum : "";
    g_free(sum);
    return id;
}

const XfcePositionConfig* XfceConfigForMonitor(const std::vector<XfcePositionConfig>& configs, const XfceMonitorRecord& monitor) {
    for (const XfcePositionConfig& config : configs)
        for (const XfceMonitorRecord& known : config.monitors)
            if (known.id == monitor.id) return &config;
    // One entry per monitor that matches, so a config with two such monitors counts twice.
    std::vector<const XfcePositionConfig*> sameSize, samePlace;
    for (const XfcePositionConfig& config : configs)
        for (const XfceMonitorRecord& known : config.monitors)
            if (known.width == monitor.width && known.height == monitor.height) sameSize.push_back(&config);
    if (sameSize.size() == 1) return sameSize.front();
    for (const XfcePositionConfig* config : sameSize)
        for (const XfceMonitorRecord& known : config->monitors)
            if (known.x == monitor.x && known.y == monitor.y && known.width == monitor.width && known.height == monitor.height)
                samePlace.push_back(config);
    return samePlace.size() == 1 ? samePlace.front() : nullptr;
}
