// Reading xfconf channel files with GLib's markup parser.
#include "desktop/xdg/xfconf.h"

#include <glib.h>

#include <cstring>

namespace {

// xfconf's own paths are a few levels deep; far deeper input is not a settings file.
constexpr std::size_t MaxDepth = 32;

struct ChannelParse {
    std::string path;                     // the open properties' path
    std::vector<std::size_t> pathLengths; // path's length before each open property was added
    std::vector<XfconfProperty> properties;
    std::vector<std::ptrdiff_t> open;     // each open element: its property's index, or -1
};

std::string Attribute(const gchar** names, const gchar** values, const char* wanted) {
    for (; *names != nullptr; ++names, ++values)
        if (std::strcmp(*names, wanted) == 0) return *values;
    return {};
}

void StartElement(GMarkupParseContext*, const gchar* element, const gchar** names, const gchar** values,
                  gpointer data, GError** error) {
    auto& parse = *static_cast<ChannelParse*>(data);
    if (parse.open.size() >= MaxDepth) {
        g_set_error_literal(error, G_MARKUP_ERROR, G_MARKUP_ERROR_INVALID_CONTENT, "nested too deeply");
        return;
    }
    if (std::strcmp(element, "property") == 0) {
        parse.pathLengths.push_back(parse.path.size());
        parse.path += '/';
        parse.path += Attribute(names, values, "name");
        parse.properties.push_back(XfconfProperty{parse.path, Attribute(names, values, "value"), {}});
        parse.open.push_back(static_cast<std::ptrdiff_t>(parse.properties.size() - 1));
    } else if (std::strcmp(element, "value") == 0) {
        if (!parse.open.empty() && parse.open.back() >= 0)
            parse.properties[static_cast<std::size_t>(parse.open.back())].values.push_back(
                Attribute(names, values, "value"));
        parse.open.push_back(-1);
    } else {
        parse.open.push_back(-1);
    }
}

void EndElement(GMarkupParseContext*, const gchar* element, gpointer data, GError**) {
    auto& parse = *static_cast<ChannelParse*>(data);
    if (std::strcmp(element, "property") == 0 && !parse.pathLengths.empty()) {
        parse.path.resize(parse.pathLengths.back());
        parse.pathLengths.pop_back();
    }
    if (!parse.open.empty()) parse.open.pop_back();
}

}  // namespace

std::vector<XfconfProperty> ParseXfconfChannel(std::string_view xml) {
    ChannelParse parse;
    GMarkupParser parser{StartElement, EndElement, nullptr, nullptr, nullptr};
    GMarkupParseContext* context = g_markup_parse_context_new(&parser, G_MARKUP_DEFAULT_FLAGS, &parse, nullptr);
    if (g_markup_parse_context_parse(context, xml.data(), static_cast<gssize>(xml.size()), nullptr))
        g_markup_parse_context_end_parse(context, nullptr);
    g_markup_parse_context_free(context);
    return std::move(parse.properties);
}

const XfconfProperty* FindXfconfProperty(const std::vector<XfconfProperty>& properties, std::string_view path) {
    for (const XfconfProperty& property : properties)
        if (property.path == path) return &property;
    return nullptr;
}
