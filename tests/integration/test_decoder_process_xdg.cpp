// The decoding child: whatever the decoder does in there (hang, crash, eat memory, answer with
// nonsense), the caller gets an image or none, in time, and carries on.
#ifdef __linux__

#include "desktop/xdg/decoder_process.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

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

TEST(DecoderProcess, AnImageComesBackWholeAndNoneStaysNone) {
    const RgbaImage sent = Checkerboard(300, 200);  // more than a pipe holds at once
    const std::optional<RgbaImage> received = DecodeInChildProcess([&] { return std::optional<RgbaImage>(sent); },
                                                                   ChildLimits{5.0, 64 << 20, 300, 200});
    ASSERT_TRUE(received.has_value());
    EXPECT_EQ(received->width, 300);
    EXPECT_EQ(received->height, 200);
    EXPECT_EQ(received->pixels, sent.pixels);

    EXPECT_FALSE(DecodeInChildProcess([] { return std::optional<RgbaImage>(); }, ChildLimits{}).has_value());
    // An answer larger than asked for, or one whose pixels do not match its size, is refused.
    EXPECT_FALSE(DecodeInChildProcess([&] { return std::optional<RgbaImage>(sent); }, ChildLimits{5.0, 64 << 20, 299, 200})
                     .has_value());
    RgbaImage inconsistent = sent;
    inconsistent.pixels.resize(10);
    EXPECT_FALSE(
        DecodeInChildProcess([&] { return std::optional<RgbaImage>(inconsistent); }, ChildLimits{}).has_value());
}

TEST(DecoderProcess, AHangingDecoderIsStoppedAtTheDeadline) {
    const auto start = std::chrono::steady_clock::now();
    const std::optional<RgbaImage> image = DecodeInChildProcess(
        [] {
            for (;;) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return std::optional<RgbaImage>();
        },
        ChildLimits{0.3, 64 << 20, 16, 16});
    EXPECT_FALSE(image.has_value());
    // Not waited for until it ends by itself (never): the deadline is what ends it.
    EXPECT_LT(SecondsSince(start), 10.0);
}

TEST(DecoderProcess, ACrashingDecoderCostsOnlyItsChild) {
    EXPECT_FALSE(DecodeInChildProcess(
                     [] {
                         std::raise(SIGSEGV);
                         return std::optional<RgbaImage>();
                     },
                     ChildLimits{})
                     .has_value());
    EXPECT_FALSE(DecodeInChildProcess(
                     [] {
                         std::abort();
                         return std::optional<RgbaImage>();
                     },
                     ChildLimits{})
                     .has_value());
    // And the next decode works as before.
    EXPECT_TRUE(DecodeInChildProcess([] { return std::optional<RgbaImage>(Checkerboard(2, 2)); }, ChildLimits{})
                    .has_value());
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(DecoderProcess, ADecoderThatWantsGigabytesDoesNotGetThem) {
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
        ChildLimits{20.0, 64 << 20, 16, 16});
    EXPECT_FALSE(image.has_value());
    // This process's own memory stayed as it was.
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss, 1 << 20) << "kilobytes";
}
#endif

}  // namespace

#endif  // __linux__
