// The child: forked, limited, answering over a pipe, and killed once it has answered or its time
// is up.
#include "desktop/xdg/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
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

[[noreturn]] void RunChild(int answer, const std::function<bool(int)>& work, const ChildLimits& limits) {
    // A crash in here is just no answer: nobody's handler (a parent's crash reporter) runs for it.
    for (const int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) std::signal(fault, SIG_DFL);
    // Gone with us should we die first; and never longer than a backstop of CPU time.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const rlim_t cpuSeconds = static_cast<rlim_t>(limits.seconds) + 2;
    const rlimit cpu{cpuSeconds, cpuSeconds};
    setrlimit(RLIMIT_CPU, &cpu);
    LimitMemory(limits.memoryBytes);
    const bool succeeded = work(answer);
    // _exit: nothing of the parent's (stdio buffers, atexit handlers, the X connection) runs here.
    _exit(succeeded ? 0 : 1);
}

}  // namespace

bool WriteAnswer(int descriptor, const void* data, std::size_t size) {
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

ChildAnswer RunInChildProcess(const std::function<bool(int answer)>& work, const ChildLimits& limits) {
    ChildAnswer answer;
    if (limits.seconds <= 0) return answer;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(limits.seconds));
    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0) return answer;
    std::fflush(nullptr);  // nothing buffered is written twice
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return answer;
    }
    if (child == 0) {
        ::close(channel[0]);
        RunChild(channel[1], work, limits);
    }
    ::close(channel[1]);

    // Everything it writes until it closes its end (it ended), the deadline, or the limit.
    bool ended = false;
    char buffer[1 << 16];
    while (answer.bytes.size() <= limits.maxAnswerBytes) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        pollfd ready{channel[0], POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(std::min<long long>(left, 60000)));
        if (polled == 0 || (polled < 0 && errno == EINTR)) continue;  // the deadline is checked above
        if (polled < 0) break;
        const ssize_t count = ::read(channel[0], buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            ended = count == 0;
            break;
        }
        answer.bytes.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(channel[0]);
    if (answer.bytes.size() > limits.maxAnswerBytes) answer.bytes.resize(limits.maxAnswerBytes);

    // It closed its end, so it is ending: waited for until the deadline. Then its time is up.
    int status = 0;
    pid_t reaped = 0;
    while (ended && (reaped = ::waitpid(child, &status, WNOHANG)) == 0 && Clock::now() < deadline)
        ::usleep(1000);
    if (reaped != child) {
        ::kill(child, SIGKILL);
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        ended = false;
    }
    answer.complete = ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return answer;
}

std::optional<RgbaImage> DecodeInChildProcess(const std::function<std::optional<RgbaImage>()>& decode,
                                              const ChildLimits& limits, std::int32_t maxWidth,
                                              std::int32_t maxHeight) {
    if (maxWidth <= 0 || maxHeight <= 0) return std::nullopt;
    ChildLimits bounded = limits;
    bounded.maxAnswerBytes = 8 + std::size_t{static_cast<std::uint32_t>(maxWidth)} * static_cast<std::uint32_t>(maxHeight) * 4;
    const ChildAnswer answer = RunInChildProcess(
        [&](int descriptor) {
            const std::optional<RgbaImage> image = decode();
            if (!image || image->width <= 0 || image->height <= 0 ||
                image->pixels.size() !=
                    static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height) * 4)
                return false;
            const std::int32_t size[2] = {image->width, image->height};
            return WriteAnswer(descriptor, size, sizeof size) &&
                   WriteAnswer(descriptor, image->pixels.data(), image->pixels.size());
        },
        bounded);
    if (!answer.complete || answer.bytes.size() < 8) return std::nullopt;
    std::int32_t size[2];
    std::memcpy(size, answer.bytes.data(), sizeof size);
    if (size[0] <= 0 || size[1] <= 0 || size[0] > maxWidth || size[1] > maxHeight ||
        answer.bytes.size() != 8 + std::size_t{static_cast<std::uint32_t>(size[0])} * static_cast<std::uint32_t>(size[1]) * 4)
        return std::nullopt;
    RgbaImage image;
    image.width = size[0];
    image.height = size[1];
    image.pixels.assign(answer.bytes.begin() + 8, answer.bytes.end());
    return image;
}
