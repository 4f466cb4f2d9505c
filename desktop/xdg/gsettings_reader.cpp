// GSettings access for the environment readers.
#include "desktop/xdg/gsettings_reader.h"

#include "desktop/xdg/settings_files.h"

#include <gio/gio.h>

GSettingsReader::GSettingsReader(const char* schemaId, const std::vector<std::string>& schemaFolders) {
    // A missing schema would abort inside g_settings_new: look it up first.
    for (const std::string& folder : schemaFolders) {
        GSettingsSchemaSource* own = g_settings_schema_source_new_from_directory(
            folder.c_str(), g_settings_schema_source_get_default(), FALSE, nullptr);
        if (own == nullptr) continue;
        schema = g_settings_schema_source_lookup(own, schemaId, FALSE);
        g_settings_schema_source_unref(own);
        if (schema != nullptr) break;
    }
    if (schema == nullptr) {
        GSettingsSchemaSource* source = g_settings_schema_source_get_default();
        if (source == nullptr) return;
        schema = g_settings_schema_source_lookup(source, schemaId, TRUE);
    }
    if (schema != nullptr) settings = g_settings_new_full(schema, nullptr, nullptr);
}

GSettingsReader::~GSettingsReader() {
    if (settings != nullptr) g_object_unref(settings);
    if (schema != nullptr) g_settings_schema_unref(schema);
}

namespace {

// The key's value if it has the type; null otherwise. The caller unrefs it.
GVariant* Value(GSettings* settings, GSettingsSchema* schema, const char* key, const GVariantType* type) {
    if (settings == nullptr || !g_settings_schema_has_key(schema, key)) return nullptr;
    GVariant* value = g_settings_get_value(settings, key);
    if (value != nullptr && !g_variant_is_of_type(value, type)) {
        g_variant_unref(value);
        return nullptr;
    }
    return value;
}

}  // namespace

std::optional<std::string> GSettingsReader::String(const char* key) const {
    GVariant* value = Value(settings, schema, key, G_VARIANT_TYPE_STRING);
    if (value == nullptr) return std::nullopt;
    std::string text = g_variant_get_string(value, nullptr);
    g_variant_unref(value);
    return text;
}

std::optional<bool> GSettingsReader::Boolean(const char* key) const {
    GVariant* value = Value(settings, schema, key, G_VARIANT_TYPE_BOOLEAN);
    if (value == nullptr) return std::nullopt;
    const bool result = g_variant_get_boolean(value);
    g_variant_unref(value);
    return result;
}

std::optional<int> GSettingsReader::Integer(const char* key) const {
    GVariant* value = Value(settings, schema, key, G_VARIANT_TYPE_INT32);
    if (value == nullptr) return std::nullopt;
    const int result = g_variant_get_int32(value);
    g_variant_unref(value);
    return result;
}

std::optional<double> GSettingsReader::Double(const char* key) const {
    GVariant* value = Value(settings, schema, key, G_VARIANT_TYPE_DOUBLE);
    if (value == nullptr) return std::nullopt;
    const double result = g_variant_get_double(value);
    g_variant_unref(value);
    return result;
}

std::optional<std::vector<std::string>> GSettingsReader::StringList(const char* key) const {
    GVariant* value = Value(settings, schema, key, G_VARIANT_TYPE_STRING_ARRAY);
    if (value == nullptr) return std::nullopt;
    std::vector<std::string> list;
    gsize count = 0;
    const gchar** strings = g_variant_get_strv(value, &count);
    for (gsize i = 0; i < count && i < 10000; ++i) list.emplace_back(strings[i]);
    g_free(strings);
    g_variant_unref(value);
    return list;
}

bool GSettingsReader::UserSet(const char* key) const {
    if (settings == nullptr || !g_settings_schema_has_key(schema, key)) return false;
    GVariant* value = g_settings_get_user_value(settings, key);
    if (value == nullptr) return false;
    g_variant_unref(value);
    return true;
}

void ReadBackgroundColors(const GSettingsReader& background, const char* verticalName, const char* horizontalName,
                          WallpaperSetting& setting) {
    setting.color = ParseColorText(background.String("primary-color").value_or(""));
    const std::string shading = background.String("color-shading-type").value_or("solid");
    if (!setting.color || (shading != verticalName && shading != horizontalName)) return;
    const std::optional<Color> secondary = ParseColorText(background.String("secondary-color").value_or(""));
    if (!secondary) return;
    setting.gradient = ColorGradient{*setting.color, *secondary,
                                     shading == verticalName ? GradientDirection::Vertical : GradientDirection::Horizontal};
}
