// XFCE's settings store as it keeps it on disk: one XML file per channel under
// ~/.config/xfce4/xfconf/xfce-perchannel-xml, a tree of named properties.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Every property of a channel file, by its full path ("/backdrop/screen0/..."), in document
// order; array properties hold their values in order. Properties nested deeper than xfconf
// ever writes them are left out; what parsed before an error stays.
struct XfconfProperty {
    std::string path;
    std::string value;
    std::vector<std::string> values;
};
std::vector<XfconfProperty> ParseXfconfChannel(std::string_view xml);

// The property at path; none when absent.
const XfconfProperty* FindXfconfProperty(const std::vector<XfconfProperty>& properties, std::string_view path);
