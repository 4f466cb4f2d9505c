// GNOME's background schema, which GNOME, Ubuntu and Budgie read as org.gnome.desktop.background
// and Cinnamon as org.cinnamon.desktop.background: the picture, GNOME's dark-style one under a
// dark colour scheme, the slide a timed slideshow (an .xml picture) shows now, else the colour or
// gradient.
#include "desktop/xdg/environments/gnome_background.h"

#include "desktop/xdg/gsettings_reader.h"
#include "desktop/xdg/settings_files.h"

#include <glib.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// ---- Slideshows -----------------------------------------------------------------------------

// A picture of a slideshow: one file, or the same picture at several sizes.
struct SizedPicture {
    long long width = -1;  // -1: a plain file without sizes
    long long height = -1;
    std::string path;
};

// One timed entry: a picture shown for duration seconds, or a transition from one picture to the
// next (the desktop blends them; the mirror shows the nearer one).
struct Slide {
    double duration = 0.0;
    std::vector<SizedPicture> picture;
    std::vector<SizedPicture> nextPicture;  // transitions only
};

struct SlideshowParse {
    std::vector<std::string> elements;  // the open elements
    std::vector<Slide> slides;
    std::tm start{};
    bool hasStart = false;
    std::string text;
    std::vector<SizedPicture> variants;  // of the open <file>, <from> or <to>
    SizedPicture size;                   // the open <size>
};

constexpr std::size_t MaxSlides = 10000;
constexpr std::size_t MaxVariants = 64;

bool Is(const gchar* element, const char* name) { return std::strcmp(element, name) == 0; }

void StartElement(GMarkupParseContext*, const gchar* element, const gchar** names, const gchar** values,
                  gpointer data, GError** error) {
    auto& parse = *static_cast<SlideshowParse*>(data);
    if (parse.elements.size() >= 16 || parse.slides.size() >= MaxSlides) {
        g_set_error_literal(error, G_MARKUP_ERROR, G_MARKUP_ERROR_INVALID_CONTENT, "not a slideshow");
        return;
    }
    parse.elements.emplace_back(element);
    parse.text.clear();
    if (Is(element, "static") || Is(element, "transition")) parse.slides.emplace_back();
    if (Is(element, "file") || Is(element, "from") || Is(element, "to")) parse.variants.clear();
    if (Is(element, "size")) {
        parse.size = SizedPicture{0, 0, {}};
        for (; *names != nullptr; ++names, ++values) {
            if (Is(*names, "width")) parse.size.width = std::max(0LL, (long long)g_ascii_strtoll(*values, nullptr, 10));
            if (Is(*names, "height")) parse.size.height = std::max(0LL, (long long)g_ascii_strtoll(*values, nullptr, 10));
        }
    }
}

void Text(GMarkupParseContext*, const gchar* text, gsize length, gpointer data, GError**) {
    auto& parse = *static_cast<SlideshowParse*>(data);
    if (parse.text.size() < 4096) parse.text.append(text, std::min<gsize>(length, 4096));
}

std::string Stripped(const std::string& text) {
    gchar* stripped = g_strstrip(g_strdup(text.c_str()));
    std::string result = stripped;
    g_free(stripped);
    return result;
}

void EndElement(GMarkupParseContext*, const gchar* element, gpointer data, GError**) {
    auto& parse = *static_cast<SlideshowParse*>(data);
    if (parse.elements.empty()) return;
    parse.elements.pop_back();
    const std::string parent = parse.elements.empty() ? "" : parse.elements.back();
    const std::string value = Stripped(parse.text);
    parse.text.clear();
    if (parent == "starttime") {
        const int number = static_cast<int>(g_ascii_strtoll(value.c_str(), nullptr, 10));
        parse.hasStart = true;
        if (Is(element, "year")) parse.start.tm_year = number - 1900;
        else if (Is(element, "month")) parse.start.tm_mon = number - 1;
        else if (Is(element, "day")) parse.start.tm_mday = number;
        else if (Is(element, "hour")) parse.start.tm_hour = number;
        else if (Is(element, "minute")) parse.start.tm_min = number;
        else if (Is(element, "second")) parse.start.tm_sec = number;
        return;
    }
    if (Is(element, "size")) {
        parse.size.path = value;
        if (!value.empty() && parse.variants.size() < MaxVariants) parse.variants.push_back(parse.size);
        return;
    }
    if (parse.slides.empty()) return;
    Slide& slide = parse.slides.back();
    if (Is(element, "duration") && (parent == "static" || parent == "transition")) {
        const double duration = g_ascii_strtod(value.c_str(), nullptr);
        slide.duration = std::isfinite(duration) && duration > 0.0 ? duration : 0.0;
    } else if (Is(element, "file") || Is(element, "from") || Is(element, "to")) {
        if (parse.variants.empty() && !value.empty()) parse.variants.push_back(SizedPicture{-1, -1, value});
        (Is(element, "to") ? slide.nextPicture : slide.picture) = std::move(parse.variants);
        parse.variants.clear();
    }
}

// The variant for a screen of width x height: among those at least that large (else among all),
// the nearest in aspect ratio, then the nearest in width.
std::string BestSize(const std::vector<SizedPicture>& variants, std::int32_t width, std::int32_t height) {
    const double aspect = width > 0 && height > 0 ? static_cast<double>(width) / height : 1.0;
    for (const bool onlyLarger : {true, false}) {
        const SizedPicture* best = nullptr;
        double bestAspect = 0.0;
        long long bestWidth = 0;
        for (const SizedPicture& variant : variants) {
            if (onlyLarger && (variant.width < width || variant.height < height)) continue;
            const double ratio = variant.height > 0 ? static_cast<double>(variant.width) / variant.height : 1.0;
            const double aspectDistance = std::fabs(ratio - aspect);
            const long long widthDistance = std::llabs(variant.width - width);
            if (best == nullptr || aspectDistance < bestAspect ||
                (aspectDistance == bestAspect && widthDistance < bestWidth)) {
                best = &variant;
                bestAspect = aspectDistance;
                bestWidth = widthDistance;
            }
        }
        if (best != nullptr) return best->path;
    }
    return {};
}

}  // namespace

std::string SlideshowPictureAt(std::string_view xml, std::time_t now, std::int32_t width, std::int32_t height) {
    SlideshowParse parse;
    GMarkupParser parser{StartElement, EndElement, Text, nullptr, nullptr};
    GMarkupParseContext* context = g_markup_parse_context_new(&parser, G_MARKUP_DEFAULT_FLAGS, &parse, nullptr);
    const bool parsed = g_markup_parse_context_parse(context, xml.data(), static_cast<gssize>(xml.size()), nullptr) &&
                        g_markup_parse_context_end_parse(context, nullptr);
    g_markup_parse_context_free(context);
    if (!parsed || parse.slides.empty()) return {};

    double total = 0.0;
    for (const Slide& slide : parse.slides) total += slide.duration;
    if (parse.slides.size() == 1 || total <= 0.0) return BestSize(parse.slides.front().picture, width, height);
    // The show runs from its start time (local time) and repeats.
    parse.start.tm_isdst = -1;
    const std::time_t start = parse.hasStart ? std::mktime(&parse.start) : 0;
    double elapsed = std::fmod(std::difftime(now, start == static_cast<std::time_t>(-1) ? 0 : start), total);
    if (elapsed < 0.0) elapsed += total;
    for (const Slide& slide : parse.slides) {
        if (elapsed < slide.duration) {
            const bool later = !slide.nextPicture.empty() && elapsed >= slide.duration / 2;
            return BestSize(later ? slide.nextPicture : slide.picture, width, height);
        }
        elapsed -= slide.duration;
    }
    return BestSize(parse.slides.back().picture, width, height);
}

namespace {

// The picture a setting names as a file to show.
std::string PictureOf(const std::string& setting, const BackgroundRules& rules) {
    std::string path = LocalPathFromUriOrPath(setting);
    if (path.size() > 4 && g_str_has_suffix(path.c_str(), ".xml")) {
        const std::optional<std::string> xml = rules.slideshows ? ReadSettingsFile(path) : std::nullopt;
        path = xml ? SlideshowPictureAt(*xml, rules.now, rules.screen.width, rules.screen.height) : std::string();
    }
    return path;
}

}  // namespace

std::optional<WallpaperSetting> GnomeStyleBackground(const char* schemaId, const BackgroundRules& rules) {
    const GSettingsReader background(schemaId);
    const bool onlyUserSet = rules.onlyUserSet;
    if (!background.Installed()) return std::nullopt;
    if (onlyUserSet && !background.UserSet("picture-uri") && !background.UserSet("picture-uri-dark") &&
        !background.UserSet("primary-color") && !background.UserSet("picture-options"))
        return std::nullopt;
    WallpaperSetting setting;
    std::string picture = background.String("picture-uri").value_or("");
    if (rules.darkPicture) {
        const GSettingsReader interface("org.gnome.desktop.interface");
        const std::string dark = background.String("picture-uri-dark").value_or("");
        if (interface.String("color-scheme").value_or("") == "prefer-dark" && !dark.empty()) picture = dark;
    }
    if (background.String("picture-options").value_or("") != "none") setting.path = PictureOf(picture, rules);
    ReadBackgroundColors(background, "vertical", "horizontal", setting);
    if (setting.gradient) setting.gradient->ramp = rules.ramp;
    return setting;
}
