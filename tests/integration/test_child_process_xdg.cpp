// The child process: whatever the work does in there (hang, crash, eat memory, answer with
// nonsense), the caller gets its answer or none, in time, and carries on.
#ifdef __linux__

#include "desktop/xdg/child_process.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

RgbaImage Checkerboard(std::int32_t width, std::int32_t height) {
    RgbaImage image;
    image.width = width;
    image.height = height;
    for (std::int32_t i = 0; i < width * height; ++i) {
        const unsigned char value = static_cast<unsigned char>(i % 2 ? 255 : i % 251);
        image.pixels.insert(image.pixels.end(), {value, static_cast<unsigned char>(i), 7, 255});
    }
    return image;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

[[noreturn]] void Forever() {
    for (;;) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

TEST(ChildProcess, AnAnswerComesBackWholeAndNoneStaysNone) {
    const RgbaImage sent = Checkerboard(300, 200);  // more than a pipe holds at once
    const std::optional<RgbaImage> received =
        DecodeInChildProcess([&] { return std::optional<RgbaImage>(sent); }, ChildLimits{5.0}, 300, 200);
    ASSERT_TRUE(received.has_value());
    EXPECT_EQ(received->width, 300);
    EXPECT_EQ(received->height, 200);
    EXPECT_EQ(received->pixels, sent.pixels);

    EXPECT_FALSE(DecodeInChildProcess([] { return std::optional<RgbaImage>(); }, ChildLimits{}, 16, 16).has_value());
    // An image larger than asked for, or one whose pixels do not match its size, is refused.
    EXPECT_FALSE(DecodeInChildProcess([&] { return std::optional<RgbaImage>(sent); }, ChildLimits{5.0}, 299, 200)
                     .has_value());
    RgbaImage inconsistent = sent;
    inconsistent.pixels.resize(10);
    EXPECT_FALSE(
        DecodeInChildProcess([&] { return std::optional<RgbaImage>(inconsistent); }, ChildLimits{}, 300, 200).has_value());

    // Raw answers: what was written, and whether the work finished; no more than the limit.
    const ChildAnswer said = RunInChildProcess([](int out) { return WriteAnswer(out, "hello", 5); }, ChildLimits{});
    EXPECT_EQ(said.bytes, "hello");
    EXPECT_TRUE(said.complete);
    const ChildAnswer failed = RunInChildProcess([](int out) { return !WriteAnswer(out, "half", 4); }, ChildLimits{});
    EXPECT_EQ(failed.bytes, "half");
    EXPECT_FALSE(failed.complete);
    ChildLimits small;
    small.maxAnswerBytes = 3;
    const ChildAnswer cut = RunInChildProcess(
        [](int out) {
            const std::string flood(1 << 20, 'x');
            for (;;) WriteAnswer(out, flood.data(), flood.size());
            return true;
        },
        small);
    EXPECT_EQ(cut.bytes, "xxx");
    EXPECT_FALSE(cut.complete);
}

TEST(ChildProcess, AHangingChildIsStoppedAtTheDeadlineWithWhatItSaidSoFar) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(DecodeInChildProcess(
                     []() -> std::optional<RgbaImage> { Forever(); }, ChildLimits{0.3}, 16, 16)
                     .has_value());
    // Not waited for until it ends by itself (never): the deadline is what ends it.
    EXPECT_LT(SecondsSince(start), 10.0);

    start = std::chrono::steady_clock::now();
    const ChildAnswer partial = RunInChildProcess(
        [](int out) -> bool {
            WriteAnswer(out, "first part", 10);
            Forever();
        },
        ChildLimits{0.3});
    EXPECT_EQ(partial.bytes, "first part");
    EXPECT_FALSE(partial.complete);
    EXPECT_LT(SecondsSince(start), 10.0);

    // One that closes its answer and then lingers is not waited for past the deadline either.
    start = std::chrono::steady_clock::now();
    const ChildAnswer lingering = RunInChildProcess(
        [](int out) -> bool {
            WriteAnswer(out, "done", 4);
            ::close(out);
            Forever();
        },
        ChildLimits{0.3});
    EXPECT_EQ(lingering.bytes, "done");
    EXPECT_FALSE(lingering.complete);
    EXPECT_LT(SecondsSince(start), 10.0);
}

TEST(ChildProcess, ACrashingChildCostsOnlyItself) {
    EXPECT_FALSE(DecodeInChildProcess(
                     []() -> std::optional<RgbaImage> {
                         std::raise(SIGSEGV);
                         return std::nullopt;
                     },
                     ChildLimits{}, 16, 16)
                     .has_value());
    EXPECT_FALSE(RunInChildProcess([](int) -> bool { std::abort(); }, ChildLimits{}).complete);
    // And the next one works as before.
    EXPECT_TRUE(
        DecodeInChildProcess([] { return std::optional<RgbaImage>(Checkerboard(2, 2)); }, ChildLimits{}, 2, 2).has_value());
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(ChildProcess, AChildThatWantsGigabytesDoesNotGetThem) {
    ChildLimits limits{20.0, 64u << 20};
    const std::optional<RgbaImage> image = DecodeInChildProcess(
        [] {
            // 4 GiB, touched: beyond the child's allowance of 64 MiB.
            const std::size_t size = std::size_t{4} << 30;
            auto* block = static_cast<unsigned char*>(std::malloc(size));
            if (block == nullptr) return std::optional<RgbaImage>();
            std::memset(block, 1, size);
            RgbaImage image = Checkerboard(1, 1);
            image.pixels[0] = block[size - 1];
            std::free(block);
            return std::optional<RgbaImage>(image);
        },
        limits, 16, 16);
    EXPECT_FALSE(image.has_value());
    // This process's own memory stayed as it was.
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss, 1 << 20) << "kilobytes";
}
#endif

}  // namespace

#endif  // __linux__
