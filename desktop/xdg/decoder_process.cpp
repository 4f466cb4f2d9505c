// The decoding child: forked, limited, answering with "width height pixels" over a pipe, and
// killed once it has answered or its time is up.
#include "desktop/xdg/decoder_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#define GRAVEFALL_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GRAVEFALL_ADDRESS_SANITIZER 1
#endif
#endif

namespace {

using Clock = std::chrono::steady_clock;

// Caps the child's address space at what it has now plus the allowance. (AddressSanitizer maps
// terabytes of shadow memory up front, so sanitizer builds go without the cap.)
void LimitMemory(std::size_t allowance) {
#ifndef GRAVEFALL_ADDRESS_SANITIZER
    unsigned long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%lu", &pages) != 1) pages = 0;
        std::fclose(statm);
    }
    if (pages == 0) return;
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + allowance;
    const rlimit cap{limit, limit};
    setrlimit(RLIMIT_AS, &cap);
#else
    (void)allowance;
#endif
}

bool WriteAll(int descriptor, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(descriptor, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

[[noreturn]] void RunChild(int answer, const std::function<std::optional<RgbaImage>()>& decode,
                           const ChildLimits& limits) {
    // A crash in here is just no picture: nobody's handler (a parent's crash reporter) runs for it.
    for (const int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) std::signal(fault, SIG_DFL);
    // Gone with us should we die first; and never longer than a backstop of CPU time.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const rlim_t cpuSeconds = static_cast<rlim_t>(limits.seconds) + 2;
    const rlimit cpu{cpuSeconds, cpuSeconds};
    setrlimit(RLIMIT_CPU, &cpu);
    LimitMemory(limits.memoryBytes);

    const std::optional<RgbaImage> image = decode();
    if (!image || image->width <= 0 || image->height <= 0 ||
        image->pixels.size() != static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height) * 4)
        _exit(1);
    const std::int32_t size[2] = {image->width, image->height};
    const bool sent = WriteAll(answer, size, sizeof size) && WriteAll(answer, image->pixels.data(), image->pixels.size());
    // _exit: nothing of the parent's (stdio buffers, atexit handlers, the X connection) runs here.
    _exit(sent ? 0 : 1);
}

// Reads exactly size bytes before the deadline; false on end of file, error or time out.
bool ReadAll(int descriptor, void* data, std::size_t size, Clock::time_point deadline) {
    auto* bytes = static_cast<unsigned char*>(data);
    while (size > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd ready{descriptor, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(std::min<long long>(left, 60000)));
        if (polled == 0 || (polled < 0 && errno == EINTR)) continue;  // the deadline is checked above
        if (polled < 0) return false;
        const ssize_t count = ::read(descriptor, bytes, size);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        bytes += count;
        size -= static_cast<std::size_t>(count);
    }
    return true;
}

}  // namespace

std::optional<RgbaImage> DecodeInChildProcess(const std::function<std::optional<RgbaImage>()>& decode,
                                              const ChildLimits& limits) {
    if (limits.seconds <= 0 || limits.maxWidth <= 0 || limits.maxHeight <= 0) return std::nullopt;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(limits.seconds));
    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0) return std::nullopt;
    std::fflush(nullptr);  // nothing buffered is written twice
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(channel[0]);
        RunChild(channel[1], decode, limits);
    }
    ::close(channel[1]);

    std::optional<RgbaImage> result;
    std::int32_t size[2] = {0, 0};
    if (ReadAll(channel[0], size, sizeof size, deadline) && size[0] > 0 && size[1] > 0 &&
        size[0] <= limits.maxWidth && size[1] <= limits.maxHeight) {
        RgbaImage image;
        image.width = size[0];
        image.height = size[1];
        image.pixels.resize(static_cast<std::size_t>(size[0]) * static_cast<std::size_t>(size[1]) * 4);
        if (ReadAll(channel[0], image.pixels.data(), image.pixels.size(), deadline)) result = std::move(image);
    }
    ::close(channel[0]);
    // Whatever it is doing now, it is done: an answer is complete, and a late one is not wanted.
    ::kill(child, SIGKILL);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    return result;
}
