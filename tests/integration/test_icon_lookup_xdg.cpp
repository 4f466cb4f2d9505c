// The icon theme lookup against GTK's own: on prepared theme folders that exercise each of GTK's
// rules (search path order, inheritance, directory sizes and types, suffixes, loose icons) and on
// the installed themes, our lookup chooses the very file gtk_icon_theme_choose_icon chooses. And
// where GTK trusts a corrupt cache and crashes, the lookup, which reads no cache, does not.
#ifdef __linux__

#include "desktop/xdg/icon_lookup.h"
#include "tests/support/prepared_home.h"

#include <gtk/gtk.h>

#include <sys/stat.h>
#include <utime.h>

#include <ctime>

namespace {

// What GTK chooses, and what we choose, for names at size: "gtk-file|our-file".
std::string BothChoices(const std::string& theme, const std::vector<std::string>& names, int size) {
    GtkIconTheme* gtkTheme = gtk_icon_theme_new();
    gtk_icon_theme_set_custom_theme(gtkTheme, theme.c_str());
    std::vector<const gchar*> list;
    for (const std::string& name : names) list.push_back(name.c_str());
    list.push_back(nullptr);
    std::string gtkFile;
    if (GtkIconInfo* info = gtk_icon_theme_choose_icon(gtkTheme, list.data(), size, GTK_ICON_LOOKUP_FORCE_SIZE)) {
        if (const gchar* file = gtk_icon_info_get_filename(info)) gtkFile = file;
        g_object_unref(info);
    }
    g_object_unref(gtkTheme);
    return gtkFile + "|" + IconThemeLookup(theme, IconSearchPath()).Choose(names, size);
}

class IconLookup : public PreparedHome {
protected:
    fs::path user() const { return home / ".local/share/icons"; }
    fs::path system() const { return home / "system/icons"; }

    void Theme(const fs::path& root, const std::string& name, const std::string& index) { Write(root / name / "index.theme", index); }
    void Icon(const fs::path& path) { Write(path, "icon"); }  // the lookup never opens the file

    // Our choice and GTK's for each request, in a child seeing only the prepared folders.
    void ExpectSameChoices(const std::string& theme, const std::vector<std::pair<std::vector<std::string>, int>>& requests) {
        const std::string answers = InChild(
            [&] {
                std::string all;
                for (const auto& [names, size] : requests) all += BothChoices(theme, names, size) + "\n";
                return all;
            },
            {{"XDG_DATA_DIRS", (home / "system").string()}});
        for (const std::string& line : Lines(answers)) {
            const std::size_t bar = line.find('|');
            EXPECT_EQ(line.substr(bar + 1), line.substr(0, bar)) << "ours | GTK's";
        }
        EXPECT_EQ(Lines(answers).size(), requests.size());
    }
};

TEST_F(IconLookup, ChoosesWhatGtkChoosesByItsRules) {
    // A theme in both the user's and the system's folder, inheriting a parent; hicolor below.
    const std::string sizes = "[48x48/apps]\nSize=48\nType=Fixed\n[32x32/apps]\nSize=32\nType=Fixed\n"
                              "[64x64/apps]\nSize=64\n[scalable/apps]\nSize=16\nMinSize=8\nMaxSize=512\nType=Scalable\n";
    Theme(system(), "Mine", "[Icon Theme]\nName=Mine\nInherits=Parent, Ignored\n"
                            "Directories=scalable/apps,32x32/apps,48x48/apps,64x64/apps\n" + sizes);
    Theme(user(), "Mine", "[Icon Theme]\nthis line breaks the user's copy of the index\n");
    Theme(system(), "Parent", "[Icon Theme]\nName=Parent\nDirectories=48x48/apps,64x64/apps\n" + sizes);
    Theme(system(), "hicolor", "[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps,48x48/extra\n[48x48/apps]\nSize=48\n"
                               "[48x48/extra]\nSize=48\n");
    // The user's copy of a directory wins a tie with the system's.
    Icon(system() / "Mine/48x48/apps/both.png");
    Icon(user() / "Mine/48x48/apps/both.png");
    // Sizes: exact, only larger and smaller, scalable against bitmaps.
    Icon(system() / "Mine/32x32/apps/sized.png");
    Icon(system() / "Mine/64x64/apps/sized.png");
    Icon(system() / "Mine/scalable/apps/vector.svg");
    Icon(system() / "Mine/48x48/apps/vector.png");
    Icon(system() / "Mine/scalable/apps/quirk.svg");
    Icon(system() / "Mine/64x64/apps/quirk.png");
    // Suffixes within one directory.
    Icon(system() / "Mine/48x48/apps/kinds.svg");
    Icon(system() / "Mine/48x48/apps/kinds.xpm");
    Icon(system() / "Mine/48x48/apps/kinds.png");
    Icon(system() / "Mine/48x48/apps/plain.symbolic.png");
    Icon(system() / "Mine/48x48/apps/plain.png");
    // The theme's own later name beats its parent's earlier one; symbolic names go first anywhere.
    Icon(system() / "Parent/48x48/apps/first.png");
    Icon(system() / "Mine/48x48/apps/second.png");
    Icon(system() / "Parent/48x48/apps/shape-symbolic.png");
    Icon(system() / "Mine/48x48/apps/shape.png");
    // Found through hicolor's own directories only (an undeclared folder of an earlier theme).
    Icon(system() / "Mine/48x48/extra/hidden.png");
    // Loose icons: PNG before SVG before XPM, an earlier folder first.
    Icon(home / "system/pixmaps/loose.png");
    Icon(system() / "loose.svg");
    Icon(system() / "vague.svg");
    Icon(system() / "vague.xpm");
    Icon(system() / "Ignored/48x48/apps/unreached.png");

    ExpectSameChoices("Mine", {{{"both"}, 48},
                               {{"sized"}, 48},
                               {{"sized"}, 32},
                               {{"sized"}, 20},
                               {{"sized"}, 100},
                               {{"vector"}, 48},
                               {{"vector"}, 200},
                               {{"quirk"}, 48},
                               {{"kinds"}, 48},
                               {{"plain"}, 48},
                               {{"first", "second"}, 48},
                               {{"shape-symbolic", "shape"}, 48},
                               {{"hidden"}, 48},
                               {{"loose"}, 48},
                               {{"vague"}, 48},
                               {{"unreached"}, 48},
                               {{"nothing", "loose"}, 48},
                               {{"nothing"}, 48}});
    // A theme that is not installed: Adwaita, gnome and hicolor are what remain.
    ExpectSameChoices("NotInstalled", {{{"hidden", "both"}, 48}, {{"loose"}, 16}});
}

TEST_F(IconLookup, ChoosesWhatGtkChoosesFromTheInstalledThemes) {
    const std::vector<std::vector<std::string>> requests = {
        {"folder"}, {"user-home", "folder"}, {"user-trash", "folder"}, {"text-plain", "text-x-generic"},
        {"application-x-executable"}, {"image-png", "image-x-generic"}, {"drive-harddisk", "folder"},
        {"computer"}, {"text-html"}, {"folder-documents", "folder"}, {"emblem-symbolic-link"}};
    std::vector<std::pair<std::vector<std::string>, int>> all;
    for (const int size : {32, 48, 64, 72, 96, 128})
        for (const auto& names : requests) all.emplace_back(names, size);
    const std::string answers = InChild([&] {
        std::string lines;
        for (const auto& [names, size] : all) lines += BothChoices("Adwaita", names, size) + "\n";
        return lines;
    },
                                        {{"XDG_DATA_DIRS", "/usr/share"}});
    ASSERT_EQ(Lines(answers).size(), all.size());
    for (const std::string& line : Lines(answers)) {
        const std::size_t bar = line.find('|');
        EXPECT_FALSE(line.substr(0, bar).empty()) << line;
        EXPECT_EQ(line.substr(bar + 1), line.substr(0, bar)) << "ours | GTK's";
    }
}

// An icon-theme.cache whose offsets point far outside it: GTK maps and follows them (and dies);
// the lookup reads the theme's folders instead.
TEST_F(IconLookup, ACorruptCacheThatCrashesGtkIsNeverRead) {
    Theme(user(), "Mine", "[Icon Theme]\nName=Mine\nDirectories=48x48/apps\n[48x48/apps]\nSize=48\nType=Fixed\n");
    Icon(user() / "Mine/48x48/apps/app.png");
    // Version 1.0, then the hash and directory list at offsets beyond the file.
    Write(user() / "Mine/icon-theme.cache", std::string("\x00\x01\x00\x00\x7f\xff\xff\xf0\x7f\xff\xff\xf0", 12) +
                                                std::string(64, '\xff'));
    // Newer than its theme folder, as GTK wants its caches.
    const std::time_t later = std::time(nullptr) + 60;
    const utimbuf times{later, later};
    ASSERT_EQ(utime((user() / "Mine/icon-theme.cache").c_str(), &times), 0);

    const std::map<std::string, std::string> environment = Environment({{"XDG_DATA_DIRS", (home / "system").string()}});
    const pid_t child = fork();
    if (child == 0) {
        alarm(20);
        for (auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        std::signal(SIGSEGV, SIG_DFL);
        std::signal(SIGBUS, SIG_DFL);
        (void)BothChoices("Mine", {"app"}, 48);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "GTK read the corrupt cache without harm; the fixture is not hostile";

    const std::string ours = InChild([] { return IconThemeLookup("Mine", IconSearchPath()).Choose({"app"}, 48); },
                                     {{"XDG_DATA_DIRS", (home / "system").string()}});
    EXPECT_EQ(ours, (user() / "Mine/48x48/apps/app.png").string());
}

}  // namespace

#endif  // __linux__
