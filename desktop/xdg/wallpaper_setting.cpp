// The wallpaper the running desktop environment shows and its plain background colour, read
// from that environment's own settings: GNOME's GSettings, XFCE's xfconf channel, KDE Plasma's
// applet configuration, or the command feh saved.
#include "desktop/xdg/xdg_desktop.h"

#include <gdk/gdk.h>
#include <gio/gio.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

std::string ReadTextFile(const std::string& path, std::size_t limit = 4 << 20) {
    GStatBuf status;
    if (g_stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || static_cast<std::size_t>(status.st_size) > limit)
        return {};
    gchar* contents = nullptr;
    gsize length = 0;
    std::string text;
    if (g_file_get_contents(path.c_str(), &contents, &length, nullptr)) text.assign(contents, length);
    g_free(contents);
    return text;
}

std::string ConfigPath(std::initializer_list<const char*> parts) {
    std::string path = g_get_user_config_dir();
    for (const char* part : parts) path += std::string("/") + part;
    return path;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

GSettings* OpenSettings(const char* schemaId, GSettingsSchema** schemaOut) {
    // A missing schema would abort inside g_settings_new; look it up first.
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (source == nullptr) return nullptr;
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, schemaId, TRUE);
    if (schema == nullptr) return nullptr;
    GSettings* settings = g_settings_new_full(schema, nullptr, nullptr);
    if (schemaOut != nullptr) *schemaOut = schema; else g_settings_schema_unref(schema);
    return settings;
}

std::string SettingString(GSettings* settings, GSettingsSchema* schema, const char* key) {
    if (!g_settings_schema_has_key(schema, key)) return {};
    GVariant* value = g_settings_get_value(settings, key);
    std::string text;
    if (value != nullptr && g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)) text = g_variant_get_string(value, nullptr);
    if (value != nullptr) g_variant_unref(value);
    return text;
}

bool UserSet(GSettings* settings, GSettingsSchema* schema, const char* key) {
    if (!g_settings_schema_has_key(schema, key)) return false;
    GVariant* value = g_settings_get_user_value(settings, key);
    if (value == nullptr) return false;
    g_variant_unref(value);
    return true;
}

// Picks the image of a Plasma wallpaper package: the largest of contents/images.
std::string PlasmaPackageImage(const std::string& directory) {
    const std::string images = directory + "/contents/images";
    GDir* dir = g_dir_open(images.c_str(), 0, nullptr);
    if (dir == nullptr) return {};
    std::string best;
    long long bestArea = -1;
    while (const gchar* name = g_dir_read_name(dir)) {
        int width = 0, height = 0;
        const long long area = std::sscanf(name, "%dx%d", &width, &height) == 2 ? 1LL * width * height : 0;
        if (area > bestArea || (area == bestArea && name < best)) {
            bestArea = area;
            best = name;
        }
    }
    g_dir_close(dir);
    return best.empty() ? std::string() : images + "/" + best;
}

}  // namespace

std::string LocalPathFromUriOrPath(const std::string& value) {
    if (value.empty()) return {};
    if (value.rfind("file:", 0) == 0) {
        gchar* path = g_filename_from_uri(value.c_str(), nullptr, nullptr);
        std::string result = path ? path : "";
        g_free(path);
        return result;
    }
    if (value[0] == '/') return value;
    if (value.rfind("~/", 0) == 0) return std::string(g_get_home_dir()) + value.substr(1);
    return {};
}

std::optional<Color> ParseColorText(const std::string& text) {
    int r = 0, g = 0, b = 0;
    char rest = 0;
    // KDE writes "r,g,b" with components 0..255.
    if (std::sscanf(text.c_str(), " %d , %d , %d %c", &r, &g, &b, &rest) == 3) {
        if (r < 0 || g < 0 || b < 0 || r > 255 || g > 255 || b > 255) return std::nullopt;
        return Color{r / 255.0f, g / 255.0f, b / 255.0f};
    }
    GdkRGBA rgba;
    if (text.empty() || !gdk_rgba_parse(&rgba, text.c_str())) return std::nullopt;
    return Color{static_cast<float>(rgba.red), static_cast<float>(rgba.green), static_cast<float>(rgba.blue)};
}

// ---- GNOME ----

std::optional<WallpaperSetting> GnomeWallpaper(bool onlyUserSet) {
    GSettingsSchema* schema = nullptr;
    GSettings* background = OpenSettings("org.gnome.desktop.background", &schema);
    if (background == nullptr) return std::nullopt;
    std::optional<WallpaperSetting> result;
    if (!onlyUserSet || UserSet(background, schema, "picture-uri") || UserSet(background, schema, "picture-uri-dark") ||
        UserSet(background, schema, "primary-color") || UserSet(background, schema, "picture-options")) {
        WallpaperSetting setting;
        std::string uri = SettingString(background, schema, "picture-uri");

        GSettingsSchema* interfaceSchema = nullptr;
        if (GSettings* interface = OpenSettings("org.gnome.desktop.interface", &interfaceSchema)) {
            const std::string dark = SettingString(background, schema, "picture-uri-dark");
            if (SettingString(interface, interfaceSchema, "color-scheme") == "prefer-dark" && !dark.empty()) uri = dark;
            g_object_unref(interface);
            g_settings_schema_unref(interfaceSchema);
        }
        if (SettingString(background, schema, "picture-options") != "none") setting.path = LocalPathFromUriOrPath(uri);
        setting.color = ParseColorText(SettingString(background, schema, "primary-color"));
        result = setting;
    }
    g_object_unref(background);
    g_settings_schema_unref(schema);
    return result;
}

// ---- XFCE ----

namespace {

struct XfconfParse {
    std::vector<std::string> stack;
    std::vector<XfconfProperty> properties;
    std::vector<std::ptrdiff_t> open;  // index of each open property in properties, -1 for others
};

std::string Attribute(const gchar** names, const gchar** values, const char* wanted) {
    for (; *names != nullptr; ++names, ++values)
        if (std::strcmp(*names, wanted) == 0) return *values;
    return {};
}

void StartElement(GMarkupParseContext*, const gchar* element, const gchar** names, const gchar** values,
                  gpointer data, GError**) {
    auto& parse = *static_cast<XfconfParse*>(data);
    if (std::strcmp(element, "property") == 0) {
        parse.stack.push_back(Attribute(names, values, "name"));
        std::string path;
        for (const std::string& part : parse.stack) path += "/" + part;
        parse.properties.push_back(XfconfProperty{path, Attribute(names, values, "value"), {}});
        parse.open.push_back(static_cast<std::ptrdiff_t>(parse.properties.size() - 1));
    } else if (std::strcmp(element, "value") == 0) {
        if (!parse.open.empty() && parse.open.back() >= 0)
            parse.properties[parse.open.back()].values.push_back(Attribute(names, values, "value"));
        parse.open.push_back(-1);
    } else {
        parse.open.push_back(-1);
    }
}

void EndElement(GMarkupParseContext*, const gchar* element, gpointer data, GError**) {
    auto& parse = *static_cast<XfconfParse*>(data);
    if (std::strcmp(element, "property") == 0 && !parse.stack.empty()) parse.stack.pop_back();
    if (!parse.open.empty()) parse.open.pop_back();
}

const XfconfProperty* FindProperty(const std::vector<XfconfProperty>& properties, const std::string& path) {
    for (const XfconfProperty& property : properties)
        if (property.path == path) return &property;
    return nullptr;
}

}  // namespace

std::vector<XfconfProperty> ParseXfconfChannel(const std::string& xml) {
    XfconfParse parse;
    GMarkupParser parser{StartElement, EndElement, nullptr, nullptr, nullptr};
    GMarkupParseContext* context = g_markup_parse_context_new(&parser, G_MARKUP_DEFAULT_FLAGS, &parse, nullptr);
    // What parsed before an error stays usable.
    if (g_markup_parse_context_parse(context, xml.data(), static_cast<gssize>(xml.size()), nullptr))
        g_markup_parse_context_end_parse(context, nullptr);
    g_markup_parse_context_free(context);
    return std::move(parse.properties);
}

std::optional<WallpaperSetting> ParseXfceDesktopChannel(const std::string& xml) {
    const std::vector<XfconfProperty> properties = ParseXfconfChannel(xml);
    // The first monitor of screen 0 that names an image, preferring the first workspace.
    const XfconfProperty* image = nullptr;
    for (const char* leaf : {"/workspace0/last-image", "/last-image", "/image-path"}) {
        for (const XfconfProperty& property : properties) {
            if (property.path.rfind("/backdrop/screen0/", 0) == 0 && g_str_has_suffix(property.path.c_str(), leaf)) {
                image = &property;
                break;
            }
        }
        if (image != nullptr) break;
    }
    std::string base;
    if (image != nullptr) {
        base = image->path.substr(0, image->path.rfind('/'));
    } else {
        // No image anywhere: a colour alone is still a setting.
        for (const XfconfProperty& property : properties)
            if (property.path.rfind("/backdrop/screen0/", 0) == 0 &&
                (g_str_has_suffix(property.path.c_str(), "/rgba1") || g_str_has_suffix(property.path.c_str(), "/color1"))) {
                base = property.path.substr(0, property.path.rfind('/'));
                break;
            }
        if (base.empty()) return std::nullopt;
    }

    WallpaperSetting setting;
    const XfconfProperty* style = FindProperty(properties, base + "/image-style");
    if (image != nullptr && !(style != nullptr && style->value == "0")) setting.path = LocalPathFromUriOrPath(image->value);
    if (const XfconfProperty* rgba = FindProperty(properties, base + "/rgba1"); rgba != nullptr && rgba->values.size() >= 3) {
        float c[3];
        for (int i = 0; i < 3; ++i) c[i] = std::clamp(static_cast<float>(g_ascii_strtod(rgba->values[i].c_str(), nullptr)), 0.0f, 1.0f);
        setting.color = Color{c[0], c[1], c[2]};
    } else if (const XfconfProperty* old = FindProperty(properties, base + "/color1"); old != nullptr && old->values.size() >= 3) {
        float c[3];
        for (int i = 0; i < 3; ++i) c[i] = std::clamp(static_cast<float>(g_ascii_strtod(old->values[i].c_str(), nullptr)) / 65535.0f, 0.0f, 1.0f);
        setting.color = Color{c[0], c[1], c[2]};
    }
    return setting;
}

std::optional<WallpaperSetting> XfceWallpaper() {
    const std::string xml = ReadTextFile(ConfigPath({"xfce4", "xfconf", "xfce-perchannel-xml", "xfce4-desktop.xml"}));
    if (xml.empty()) return std::nullopt;
    return ParseXfceDesktopChannel(xml);
}

// ---- KDE Plasma ----

std::optional<WallpaperSetting> ParsePlasmaAppletsrc(const std::string& text) {
    // Group names hold brackets ("[Containments][1][Wallpaper][org.kde.image][General]"), which
    // a key-file parser refuses, so the lines are read here.
    struct Containment {
        std::string plugin = "org.kde.image";
        std::string image;
        std::optional<Color> color;
        bool hasWallpaper = false;
    };
    std::vector<std::pair<std::string, Containment>> containments;
    auto containment = [&](const std::string& id) -> Containment& {
        for (auto& entry : containments)
            if (entry.first == id) return entry.second;
        containments.emplace_back(id, Containment{});
        return containments.back().second;
    };
    std::string group;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            group = line;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos || group.rfind("[Containments][", 0) != 0) continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        const std::size_t idEnd = group.find(']', 15);
        if (idEnd == std::string::npos) continue;
        const std::string id = group.substr(15, idEnd - 15);
        const std::string rest = group.substr(idEnd + 1);
        if (rest.empty() && key == "wallpaperplugin") {
            containment(id).plugin = value;
            containment(id).hasWallpaper = true;
        } else if (rest == "[Wallpaper][org.kde.image][General]" && key == "Image") {
            containment(id).image = value;
            containment(id).hasWallpaper = true;
        } else if (rest == "[Wallpaper][org.kde.color][General]" && key == "Color") {
            containment(id).color = ParseColorText(value);
            containment(id).hasWallpaper = true;
        }
    }
    for (const auto& [id, entry] : containments) {
        if (!entry.hasWallpaper) continue;
        WallpaperSetting setting;
        if (entry.plugin == "org.kde.image") setting.path = LocalPathFromUriOrPath(entry.image);
        setting.color = entry.color;
        return setting;
    }
    return std::nullopt;
}

std::optional<WallpaperSetting> PlasmaWallpaper() {
    const std::string text = ReadTextFile(ConfigPath({"plasma-org.kde.plasma.desktop-appletsrc"}));
    if (text.empty()) return std::nullopt;
    std::optional<WallpaperSetting> setting = ParsePlasmaAppletsrc(text);
    if (setting && !setting->path.empty() && g_file_test(setting->path.c_str(), G_FILE_TEST_IS_DIR))
        setting->path = PlasmaPackageImage(setting->path);
    return setting;
}

// ---- feh ----

std::optional<WallpaperSetting> ParseFehbg(const std::string& text) {
    gchar** lines = g_strsplit(text.c_str(), "\n", -1);
    std::optional<WallpaperSetting> result;
    for (gchar** line = lines; *line != nullptr && !result; ++line) {
        gint argc = 0;
        gchar** argv = nullptr;
        if (**line == '#' || !g_shell_parse_argv(*line, &argc, &argv, nullptr)) continue;
        gchar* program = g_path_get_basename(argv[0]);
        if (std::strcmp(program, "feh") == 0) {
            for (gint i = 1; i < argc; ++i) {
                if (argv[i][0] == '-') continue;
                const std::string path = LocalPathFromUriOrPath(argv[i]);
                if (!path.empty()) {
                    result = WallpaperSetting{path, std::nullopt};
                    break;
                }
            }
        }
        g_free(program);
        g_strfreev(argv);
    }
    g_strfreev(lines);
    return result;
}

std::optional<WallpaperSetting> FehWallpaper() {
    gchar* path = g_build_filename(g_get_home_dir(), ".fehbg", nullptr);
    const std::string text = ReadTextFile(path);
    g_free(path);
    if (text.empty()) return std::nullopt;
    return ParseFehbg(text);
}

WallpaperSetting QueryXdgWallpaper() {
    const char* current = g_getenv("XDG_CURRENT_DESKTOP");
    gchar** desktops = g_strsplit(current ? current : "", ":", -1);
    std::optional<WallpaperSetting> found;
    for (gchar** desktop = desktops; *desktop != nullptr && !found; ++desktop) {
        const std::string name = Lower(*desktop);
        if (name == "xfce") found = XfceWallpaper();
        else if (name == "kde") found = PlasmaWallpaper();
        else if (name == "gnome" || name == "unity" || name == "ubuntu" || name == "budgie" || name == "pantheon" ||
                 name == "gnome-flashback" || name == "gnome-classic")
            found = GnomeWallpaper(false);
    }
    g_strfreev(desktops);
    // No environment named (or it keeps no setting): what the user set in any of them.
    if (!found) found = FehWallpaper();
    if (!found) found = XfceWallpaper();
    if (!found) found = PlasmaWallpaper();
    if (!found) found = GnomeWallpaper(true);
    return found.value_or(WallpaperSetting{});
}
