// Icon images on Linux: which icon theme the user chose, and decoding image files (PNG, SVG and
// the other formats the system's image loaders read) into RGBA without trusting the files.
#include "desktop/xdg/xdg_desktop.h"

#include "desktop/xdg/settings_files.h"
#include "desktop/xdg/xfconf.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gio/gio.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <sys/stat.h>

#include <cstring>

namespace {

// Beyond these an "icon" or wallpaper is not decoded at all: a huge file would cost seconds and
// gigabytes for a picture shown at 48 px or at screen size.
constexpr goffset MaxIconFileBytes = 4 << 20;
// Icons are drawn at most 256 px; a bitmap icon larger than 1024 x 1024 is not an icon.
constexpr long long MaxIconPixels = 1024LL * 1024LL;
constexpr goffset MaxImageFileBytes = 512 << 20;
constexpr long long MaxImagePixels = 200LL * 1000 * 1000;

bool IsRegularFile(const std::string& path, goffset limit) {
    GStatBuf status;
    return g_stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0 &&
           status.st_size <= limit;
}

std::optional<RgbaImage> ToRgba(GdkPixbuf* pixbuf) {
    if (pixbuf == nullptr) return std::nullopt;
    const int width = gdk_pixbuf_get_width(pixbuf);
    const int height = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    if (width <= 0 || height <= 0 || gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || (channels != 3 && channels != 4))
        return std::nullopt;
    const guchar* source = gdk_pixbuf_read_pixels(pixbuf);
    RgbaImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        const guchar* row = source + static_cast<std::size_t>(y) * stride;
        unsigned char* target = image.pixels.data() + static_cast<std::size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            target[x * 4] = row[x * channels];
            target[x * 4 + 1] = row[x * channels + 1];
            target[x * 4 + 2] = row[x * channels + 2];
            target[x * 4 + 3] = channels == 4 ? row[x * channels + 3] : 255;
        }
    }
    return image;
}

std::optional<RgbaImage> Consume(GdkPixbuf* pixbuf) {
    std::optional<RgbaImage> image = ToRgba(pixbuf);
    if (pixbuf != nullptr) g_object_unref(pixbuf);
    return image;
}

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

// The formats icon themes and desktop entries use. Others (an animated GIF, a TIFF of many
// pages) could unfold into far more memory than their few bytes suggest.
bool IsIconFormat(GdkPixbufFormat* format) {
    gchar* name = gdk_pixbuf_format_get_name(format);
    const bool icon = name != nullptr && (std::strcmp(name, "png") == 0 || std::strcmp(name, "svg") == 0 ||
                                          std::strcmp(name, "xpm") == 0);
    g_free(name);
    return icon;
}

std::optional<RgbaImage> LoadIconImage(const std::string& path, std::int32_t size) {
    if (size <= 0 || !IsRegularFile(path, MaxIconFileBytes)) return std::nullopt;
    gint width = 0, height = 0;
    GdkPixbufFormat* format = gdk_pixbuf_get_file_info(path.c_str(), &width, &height);
    if (format == nullptr || !IsIconFormat(format)) return std::nullopt;
    if (!gdk_pixbuf_format_is_scalable(format) && (width <= 0 || height <= 0 || 1LL * width * height > MaxIconPixels))
        return std::nullopt;
    return Consume(gdk_pixbuf_new_from_file_at_scale(path.c_str(), size, size, TRUE, nullptr));
}

std::optional<RgbaImage> LoadImageWithPlatform(const std::string& path, std::int32_t fitWidth, std::int32_t fitHeight) {
    if (fitWidth <= 0 || fitHeight <= 0 || !IsRegularFile(path, MaxImageFileBytes)) return std::nullopt;
    gint width = 0, height = 0;
    GdkPixbufFormat* format = gdk_pixbuf_get_file_info(path.c_str(), &width, &height);
    if (format == nullptr) return std::nullopt;
    if (gdk_pixbuf_format_is_scalable(format))
        return Consume(gdk_pixbuf_new_from_file_at_scale(path.c_str(), fitWidth, fitHeight, FALSE, nullptr));
    if (width <= 0 || height <= 0 || 1LL * width * height > MaxImagePixels) return std::nullopt;
    if (width > fitWidth || height > fitHeight)
        return Consume(gdk_pixbuf_new_from_file_at_scale(path.c_str(), std::min(width, fitWidth),
                                                         std::min(height, fitHeight), FALSE, nullptr));
    return Consume(gdk_pixbuf_new_from_file(path.c_str(), nullptr));
}
