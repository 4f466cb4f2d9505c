// Reading a desktop environment's GSettings keys safely: a schema that is not installed, a key it
// lacks or a value of another type reads as absent instead of aborting inside GLib.
#pragma once

#include "core/geometry.h"
#include "desktop/desktop_capture.h"

#include <optional>
#include <string>
#include <vector>

struct _GSettings;
struct _GSettingsSchema;

class GSettingsReader {
public:
    // schemaFolders: folders of compiled schemas to look in before the system's (an extension
    // keeps its schema in its own folder).
    explicit GSettingsReader(const char* schemaId, const std::vector<std::string>& schemaFolders = {});
    ~GSettingsReader();
    GSettingsReader(const GSettingsReader&) = delete;
    GSettingsReader& operator=(const GSettingsReader&) = delete;

    bool Installed() const { return settings != nullptr; }
    // A string (or enum) key's value; none when the schema or key is missing.
    std::optional<std::string> String(const char* key) const;
    std::optional<bool> Boolean(const char* key) const;
    std::optional<int> Integer(const char* key) const;
    std::optional<double> Double(const char* key) const;
    std::optional<std::vector<std::string>> StringList(const char* key) const;
    // Whether the user changed the key from its default.
    bool UserSet(const char* key) const;

private:
    _GSettingsSchema* schema = nullptr;
    _GSettings* settings = nullptr;
};

// The colour part of a GNOME-style background: primary-color, and with a shading other than
// solid a gradient to secondary-color. verticalName / horizontalName are the shading values that
// environment writes ("vertical" / "horizontal", or MATE's "vertical-gradient" / ...).
void ReadBackgroundColors(const GSettingsReader& background, const char* verticalName, const char* horizontalName,
                          WallpaperSetting& setting);
