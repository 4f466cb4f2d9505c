// Linux side of the entry's platform seam: no apartment to join, and a GTK message box.
#include "app/platform.h"

#include "core/file_bytes.h"

#include <gtk/gtk.h>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>

#include <cstdint>
#include <cstdio>
#include <vector>

ApartmentResult JoinApartment() { return ApartmentResult::Joined; }
void LeaveApartment() {}

void ShowMessageBox(const char* caption, const char* text) {
    if (!gtk_init_check(nullptr, nullptr)) {
        // No display to show a window on: say it where the user started us.
        std::printf("%s: %s\n", caption, text);
        std::fflush(stdout);
        return;
    }
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                                               GTK_BUTTONS_OK, "%s", text);
    gtk_window_set_title(GTK_WINDOW(dialog), caption);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    while (gtk_events_pending()) gtk_main_iteration();
}

namespace {

// Missing, or a regular file a library can read whole in a moment: read here first, bounded, as
// the size a /proc file reports (0) says nothing of how much it streams.
bool IsHarmless(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR)) return true;
    return ReadRegularFile(path, 1 << 20).has_value();
}

// The file a library takes from variable, else from the home folder.
std::string NamedOrInHome(const char* variable, const std::string& home, const std::string& name) {
    const char* named = std::getenv(variable);
    return named != nullptr && named[0] != '\0' ? std::string(named) : home + "/" + name;
}

}  // namespace

void KeepDisplayConnectionToRegularFiles() {
    const char* homeVariable = std::getenv("HOME");
    const std::string home = homeVariable != nullptr ? homeVariable : "";
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
    // Read by name from a variable or the home folder: the X authority cookies, the compose
    // table, the host's X resources. In their place an empty file (no cookie: on a server that
    // wants one, the window then fails to open instead of hanging).
    const std::pair<const char*, std::string> named[] = {
        {"XAUTHORITY", NamedOrInHome("XAUTHORITY", home, ".Xauthority")},
        {"XCOMPOSEFILE", NamedOrInHome("XCOMPOSEFILE", home, ".XCompose")},
        {"XENVIRONMENT", NamedOrInHome("XENVIRONMENT", home, std::string(".Xdefaults-") + host)},
    };
    for (const auto& [variable, path] : named)
        if (!IsHarmless(path)) setenv(variable, "/dev/null", 1);
}

void KeepWindowLibrariesToRegularFiles() {
    KeepDisplayConnectionToRegularFiles();
    const char* homeVariable = std::getenv("HOME");
    const std::string home = homeVariable != nullptr ? homeVariable : "";
    // Found through HOME alone: X's resources without a resource database on the server, and the
    // GL driver's options. The window's libraries then get a home of nothing (the desktop has
    // been read by now, and the X authority stays where it was found).
    if (!home.empty() && (!IsHarmless(home + "/.Xdefaults") || !IsHarmless(home + "/.drirc"))) {
        if (std::getenv("XAUTHORITY") == nullptr) setenv("XAUTHORITY", (home + "/.Xauthority").c_str(), 1);
        setenv("HOME", "/nonexistent", 1);
    }
}

// Start-up decodes ~310 MiB of sprite sheets and the GL driver copies them into texture storage,
// first touching every page of both. With 4 KiB pages that is some 150,000 page faults, most of
// the loading time. Huge pages (2 MiB) cut the faults 512-fold, but the kernel gives them only to
// memory marked for them. So: serve large blocks from the main heap instead of fresh mappings,
// keep freed heap memory, grow the heap once by enough for all images, mark that range for huge
// pages and hand it back to malloc, where the decoder and the driver then find it.
namespace {
std::pair<std::uintptr_t, std::size_t> hugePageRange{0, 0};  // the heap marked for huge pages
}  // namespace

void PrepareHeapForImages() {
    constexpr std::size_t Block = 16u << 20;    // below glibc's largest mmap threshold (32 MiB)
    constexpr std::size_t Reserve = 640u << 20; // the images and the driver's copies, with room
    constexpr std::uintptr_t HugePage = 2u << 20;
    if (mallopt(M_MMAP_THRESHOLD, static_cast<int>(Block * 2)) == 0) return;
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(Reserve * 2));

    std::vector<void*> blocks;
    blocks.reserve(Reserve / Block);
    for (std::size_t reserved = 0; reserved < Reserve; reserved += Block) {
        void* block = std::malloc(Block);  // address space only: nothing is touched
        if (block == nullptr) break;
        blocks.push_back(block);
    }
    if (!blocks.empty()) {
        const auto first = reinterpret_cast<std::uintptr_t>(blocks.front());
        const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
        const std::uintptr_t start = (first + HugePage - 1) & ~(HugePage - 1);
        if (end > start && madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE) == 0)
            hugePageRange = {start, end - start};
    }
    for (void* block : blocks) std::free(block);
}

void ReleaseStartupHeap() {
    // No more huge pages for the range: the kernel's background collapsing would otherwise fill
    // the holes trimming leaves back up to whole 2 MiB pages, and the heap would grow again.
    if (hugePageRange.second > 0)
        madvise(reinterpret_cast<void*>(hugePageRange.first), hugePageRange.second, MADV_NOHUGEPAGE);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024);  // glibc's default again
    malloc_trim(0);                         // and give back what start-up left free
}
