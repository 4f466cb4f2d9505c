// The one bounded reader of user files, on the POSIX calls both platforms' runtimes offer.
#include "core/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if __has_include(<io.h>)
#include <io.h>  // open() in the Windows runtime
#endif

#include <algorithm>
#include <cerrno>

namespace {

// Only the flags a platform has: no FIFOs to block on where O_NONBLOCK is missing.
constexpr int OpenFlags = O_RDONLY
#ifdef O_NONBLOCK
                          | O_NONBLOCK
#endif
#ifdef O_NOCTTY
                          | O_NOCTTY
#endif
#ifdef O_CLOEXEC
                          | O_CLOEXEC
#endif
#ifdef O_BINARY
                          | O_BINARY
#endif
    ;

}  // namespace

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t limit) {
    if (path.empty()) return std::nullopt;
    const int descriptor = ::open(path.c_str(), OpenFlags);
    if (descriptor < 0) return std::nullopt;
    std::optional<std::string> result;
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
        std::string text;
        // Whatever the size says (/proc files say 0): never more than limit + 1 bytes.
        text.resize(std::min<std::size_t>(static_cast<std::size_t>(std::max<decltype(status.st_size)>(status.st_size, 0)),
                                           limit) + 1);
        std::size_t filled = 0;
        while (true) {
            if (filled == text.size()) {
                if (text.size() > limit) break;
                text.resize(std::min(limit + 1, text.size() * 2 + 4096));
            }
            const auto count = ::read(descriptor, text.data() + filled, static_cast<unsigned>(text.size() - filled));
            if (count < 0 && errno == EINTR) continue;
            if (count <= 0) break;
            filled += static_cast<std::size_t>(count);
        }
        if (filled <= limit) {
            text.resize(filled);
            result = std::move(text);
        }
    }
    ::close(descriptor);
    return result;
}
