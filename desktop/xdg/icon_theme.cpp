// The user's icon theme: which one they chose, from whichever desktop's setting has it.
#include "desktop/xdg/icon_lookup.h"

#include "desktop/xdg/settings_files.h"
#include "desktop/xdg/xfconf.h"

#include <gio/gio.h>
#include <glib.h>

#include <cstring>

namespace {

// One string value of a key file under the user's configuration folder; empty when absent.
std::string UserConfigValue(const char* relativePath, const char* group, const char* key) {
    const std::optional<std::string> text = ReadSettingsFile(UserConfigPath({relativePath}));
    if (!text) return {};
    GKeyFile* file = g_key_file_new();
    std::string value;
    if (g_key_file_load_from_data(file, text->data(), text->size(), G_KEY_FILE_NONE, nullptr)) {
        gchar* found = g_key_file_get_string(file, group, key, nullptr);
        if (found != nullptr) value = found;
        g_free(found);
    }
    g_key_file_free(file);
    return value;
}

std::string SettingsIniTheme() { return UserConfigValue("gtk-3.0/settings.ini", "Settings", "gtk-icon-theme-name"); }

std::string KdeTheme() { return UserConfigValue("kdeglobals", "Icons", "Theme"); }

std::string XfceTheme() {
    const std::optional<std::string> xml =
        ReadSettingsFile(UserConfigPath({"xfce4", "xfconf", "xfce-perchannel-xml", "xsettings.xml"}));
    if (!xml) return {};
    const std::vector<XfconfProperty> properties = ParseXfconfChannel(*xml);
    const XfconfProperty* theme = FindXfconfProperty(properties, "/Net/IconThemeName");
    return theme != nullptr ? theme->value : std::string();
}

std::string GnomeTheme() {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (source == nullptr) return {};
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, "org.gnome.desktop.interface", TRUE);
    if (schema == nullptr) return {};
    std::string theme;
    if (g_settings_schema_has_key(schema, "icon-theme")) {
        GSettings* settings = g_settings_new_full(schema, nullptr, nullptr);
        // Only a choice the user made: the schema's default says nothing about this desktop.
        if (GVariant* value = g_settings_get_user_value(settings, "icon-theme")) {
            if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)) theme = g_variant_get_string(value, nullptr);
            g_variant_unref(value);
        }
        g_object_unref(settings);
    }
    g_settings_schema_unref(schema);
    return theme;
}

}  // namespace

std::string XdgIconThemeName() {
    for (auto source : {GnomeTheme, XfceTheme, SettingsIniTheme, KdeTheme}) {
        std::string theme = source();
        // A name, not a path: no slash, and not "." or ".." (which would name a folder above).
        if (!theme.empty() && g_utf8_validate(theme.c_str(), -1, nullptr) && theme.find('/') == std::string::npos &&
            theme != "." && theme != "..")
            return theme;
    }
    return "Adwaita";  // GTK's own default
}
