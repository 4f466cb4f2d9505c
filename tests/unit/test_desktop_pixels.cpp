// Pixel conversions: captured icons from BGRA to RGBA, icon images fitted to the icon size, and wallpapers of every channel count and
// row length brought to RGB rows on 4-byte boundaries, scaled into the texture limit, or replaced
// by a plain colour when the file is no usable image.
#include "core/rgba_image.h"
#include "desktop/image_pixels.h"
#include "desktop/wallpaper_image.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>

namespace {

TEST(SwapRedAndBlue, TurnsBgraIntoRgbaAndKeepsAlpha) {
    // Opaque blue in B, G, R, A order, then a half-transparent pixel, then a partial pixel.
    std::vector<unsigned char> pixels = {255, 0, 0, 255, 10, 20, 30, 128, 1, 2};
    SwapRedAndBlue(pixels.data(), pixels.size());
    EXPECT_EQ(pixels, (std::vector<unsigned char>{0, 0, 255, 255, 30, 20, 10, 128, 1, 2}));
}

RgbaImage Image(std::int32_t width, std::int32_t height, std::vector<unsigned char> pixels) {
    RgbaImage image;
    image.width = width;
    image.height = height;
    image.pixels = std::move(pixels);
    return image;
}

TEST(IconFitting, KeepsTheShapeAndFillsTheLimitingSide) {
    EXPECT_EQ(FitKeepingAspect(96, 48, 48, 48).width, 48);
    EXPECT_EQ(FitKeepingAspect(96, 48, 48, 48).height, 24);
    EXPECT_EQ(FitKeepingAspect(48, 100, 48, 48).width, 23);  // 23.04 rounds down
    EXPECT_EQ(FitKeepingAspect(16, 16, 64, 64).width, 64);   // small icons grow to the size
    EXPECT_EQ(FitKeepingAspect(1, 1000, 48, 48).width, 1);   // never below one pixel
    EXPECT_EQ(FitKeepingAspect(0, 10, 48, 48).width, 0);
    EXPECT_EQ(FitKeepingAspect(10, 10, 0, 48).height, 0);
}

TEST(IconFitting, ResizingAveragesWhereItShrinksAndBlendsWhereItGrows) {
    // Red over blue: 2 x 2 to one pixel of their mean, doubled with red kept at the top, and 4 x 4
    // halves down to 2 x 2 keep their rows.
    const RgbaImage rows = Image(2, 2, {255, 0, 0, 255, 255, 0, 0, 255, 0, 0, 255, 255, 0, 0, 255, 255});
    EXPECT_EQ(ResizeRgba(rows, 1, 1).pixels, (std::vector<unsigned char>{128, 0, 128, 255}));
    const RgbaImage twice = ResizeRgba(rows, 4, 4);
    EXPECT_EQ(std::vector<unsigned char>(twice.pixels.begin(), twice.pixels.begin() + 4),
              (std::vector<unsigned char>{255, 0, 0, 255}));
    std::vector<unsigned char> halves;
    for (int i = 0; i < 16; ++i) {
        const unsigned char red = i < 8 ? 255 : 0;
        halves.insert(halves.end(), {red, 0, static_cast<unsigned char>(255 - red), 255});
    }
    EXPECT_EQ(ResizeRgba(Image(4, 4, halves), 2, 2).pixels, rows.pixels);
    // Growing black to white: in between at the inner pixels, the ends kept.
    const RgbaImage ramp = ResizeRgba(Image(2, 1, {0, 0, 0, 255, 255, 255, 255, 255}), 4, 1);
    EXPECT_EQ(ramp.pixels, (std::vector<unsigned char>{0, 0, 0, 255, 64, 64, 64, 255, 191, 191, 191, 255,
                                                       255, 255, 255, 255}));
    // A transparent neighbour lends the edge no colour, only transparency.
    EXPECT_EQ(ResizeRgba(Image(2, 1, {255, 0, 0, 255, 0, 255, 0, 0}), 1, 1).pixels,
              (std::vector<unsigned char>{255, 0, 0, 128}));
    EXPECT_EQ(ResizeRgba(Image(1, 1, {0, 0, 0, 0}), 3, 3).pixels, std::vector<unsigned char>(36, 0));
    // What does not hold what it claims gives nothing.
    EXPECT_TRUE(ResizeRgba(Image(2, 2, {1, 2, 3}), 1, 1).pixels.empty());
    EXPECT_TRUE(ResizeRgba(rows, 0, 5).pixels.empty());
}

// The RGB triple at (x, y) of an upload.
std::array<int, 3> At(const RgbUpload& upload, std::uint32_t x, std::uint32_t y) {
    const unsigned char* p = upload.pixels.data() + y * AlignedRgbRowBytes(upload.width) + x * 3;
    return {p[0], p[1], p[2]};
}

TEST(PrepareWallpaper, PadsRgbRowsToFourBytes) {
    // 3 x 2 RGB: 9-byte rows in, 12-byte rows out.
    const std::vector<unsigned char> rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    EXPECT_FALSE(IsUploadReady(3, 2, 3, 4096));
    const RgbUpload upload = PrepareWallpaper(rgb.data(), rgb.size(), 3, 2, 3, 4096, Color{0, 0, 0});
    ASSERT_EQ(upload.pixels.size(), 24u);
    EXPECT_EQ(At(upload, 2, 0), (std::array<int, 3>{7, 8, 9}));
    EXPECT_EQ(At(upload, 0, 1), (std::array<int, 3>{10, 11, 12}));
    EXPECT_EQ(At(upload, 2, 1), (std::array<int, 3>{16, 17, 18}));
}

TEST(PrepareWallpaper, ConvertsGreyAndComposesAlphaOverTheBackdrop) {
    const std::vector<unsigned char> grey = {0, 128, 255};
    RgbUpload upload = PrepareWallpaper(grey.data(), grey.size(), 3, 1, 1, 4096, Color{1, 0, 0});
    EXPECT_EQ(At(upload, 1, 0), (std::array<int, 3>{128, 128, 128}));

    const std::vector<unsigned char> greyAlpha = {200, 255, 200, 0};
    upload = PrepareWallpaper(greyAlpha.data(), greyAlpha.size(), 2, 1, 2, 4096, Color{0, 0, 1});
    EXPECT_EQ(At(upload, 0, 0), (std::array<int, 3>{200, 200, 200}));
    EXPECT_EQ(At(upload, 1, 0), (std::array<int, 3>{0, 0, 255}));

    const std::vector<unsigned char> rgba = {255, 0, 0, 255, 0, 255, 0, 128};
    upload = PrepareWallpaper(rgba.data(), rgba.size(), 2, 1, 4, 4096, Color{0, 0, 0});
    EXPECT_EQ(At(upload, 0, 0), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(At(upload, 1, 0), (std::array<int, 3>{0, 128, 0}));
}

TEST(PrepareWallpaper, ScalesDownByAreaAverageToTheLimit) {
    // 4 x 2 grey: left half 0, right half 200, scaled to at most 2 px a side.
    const std::vector<unsigned char> grey = {0, 0, 200, 200, 0, 0, 200, 200};
    const RgbUpload upload = PrepareWallpaper(grey.data(), grey.size(), 4, 2, 1, 2, Color{0, 0, 0});
    EXPECT_EQ(upload.width, 2u);
    EXPECT_EQ(upload.height, 2u);
    EXPECT_EQ(At(upload, 0, 1), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(At(upload, 1, 0), (std::array<int, 3>{200, 200, 200}));

    // 5 x 1 into 2: columns [0,2) and [2,5) average 10 and 40.
    const std::vector<unsigned char> row = {0, 20, 30, 40, 50};
    const RgbUpload odd = PrepareWallpaper(row.data(), row.size(), 5, 1, 1, 2, Color{0, 0, 0});
    EXPECT_EQ(At(odd, 0, 0)[0], 10);
    EXPECT_EQ(At(odd, 1, 0)[0], 40);
}

TEST(PrepareWallpaper, RefusesInputThatDoesNotHoldWhatItClaims) {
    const std::vector<unsigned char> bytes(11, 0);
    EXPECT_TRUE(PrepareWallpaper(bytes.data(), bytes.size(), 2, 2, 3, 4096, {}).pixels.empty());  // needs 12
    EXPECT_TRUE(PrepareWallpaper(bytes.data(), bytes.size(), 1, 1, 5, 4096, {}).pixels.empty());
    EXPECT_TRUE(PrepareWallpaper(bytes.data(), bytes.size(), 0, 1, 3, 4096, {}).pixels.empty());
    EXPECT_TRUE(PrepareWallpaper(nullptr, 0, 1, 1, 3, 4096, {}).pixels.empty());
}

TEST(PlainWallpaper, IsOnePaddedPixelOfTheColour) {
    const RgbUpload plain = PlainWallpaper(Color{0.2f, 0.25f, 0.3f});
    EXPECT_EQ(plain.width, 1u);
    ASSERT_EQ(plain.pixels.size(), 4u);
    EXPECT_EQ(At(plain, 0, 0), (std::array<int, 3>{51, 64, 77}));
}

// A platform decoder that decodes nothing, or hands back a fixed image for one file's bytes.
class ScriptedDecoder {
public:
    std::string decodable;
    int decodeCalls = 0;
    std::optional<RgbaImage> operator()(const std::string& bytes, std::int32_t fitWidth, std::int32_t fitHeight) {
        ++decodeCalls;
        if (bytes != decodable) return std::nullopt;
        RgbaImage image;
        image.width = fitWidth;
        image.height = fitHeight;
        image.pixels.assign(static_cast<std::size_t>(fitWidth) * fitHeight * 4, 0);
        for (std::size_t i = 0; i < image.pixels.size(); i += 4) image.pixels[i + 1] = image.pixels[i + 3] = 255;
        return image;
    }
};

class WallpaperFiles : public testing::Test {
protected:
    std::filesystem::path folder;
    ScriptedDecoder decoder;
    // The loader takes the decoder by value; this one reports back to the fixture's.
    const PictureDecoder decode = [this](const std::string& bytes, std::int32_t width, std::int32_t height) {
        return decoder(bytes, width, height);
    };
    const Color backdrop{0.0f, 0.0f, 1.0f};

    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("gravefall-wallpaper-" + std::to_string(std::random_device{}()));
        ASSERT_TRUE(std::filesystem::create_directories(folder));
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string Png(const std::string& name, int width, int height, int channels, unsigned char value) {
        std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * channels, value);
        const std::string path = (folder / name).string();
        EXPECT_NE(stbi_write_png(path.c_str(), width, height, channels, pixels.data(), width * channels), 0);
        return path;
    }
    std::string Bytes(const std::string& name, const std::string& content) {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    static std::string Contents(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    static std::array<int, 3> First(const WallpaperPixels& pixels) {
        return {pixels.data[0], pixels.data[1], pixels.data[2]};
    }
};

TEST_F(WallpaperFiles, EveryChannelCountAndRowLengthComesOutAsAlignedRgb) {
    for (int channels = 1; channels <= 4; ++channels) {
        for (int width : {5, 7, 8}) {
            const std::string path = Png("w" + std::to_string(channels) + "_" + std::to_string(width) + ".png",
                                         width, 3, channels, 90);
            const WallpaperPixels pixels = LoadWallpaperPixels(path, decode, 4096, 1920, 1080, backdrop);
            ASSERT_TRUE(pixels.fromImage) << channels << " channels, width " << width;
            EXPECT_EQ(pixels.width, static_cast<std::uint32_t>(width));
            EXPECT_EQ(pixels.height, 3u);
            const unsigned char* last = pixels.data + 2 * AlignedRgbRowBytes(pixels.width) + (width - 1) * 3;
            // Grey 90 everywhere; with alpha 90 (of 255) over blue the blue channel rises.
            const bool alpha = channels == 2 || channels == 4;
            EXPECT_EQ(last[0], alpha ? 32 : 90);
            EXPECT_EQ(last[2], alpha ? 197 : 90);
        }
    }
}

TEST_F(WallpaperFiles, AnAlignedRgbImageIsUploadedFromTheDecodersBuffer) {
    const WallpaperPixels pixels = LoadWallpaperPixels(Png("rgb.png", 8, 2, 3, 40), decode, 4096, 1920, 1080, backdrop);
    ASSERT_TRUE(pixels.fromImage);
    EXPECT_TRUE(pixels.converted.empty());
    EXPECT_EQ(pixels.data, pixels.decoded.get());
}

TEST_F(WallpaperFiles, AnImageBeyondTheTextureLimitIsScaledToFit) {
    const WallpaperPixels pixels = LoadWallpaperPixels(Png("wide.png", 300, 10, 3, 70), decode, 64, 1920, 1080, backdrop);
    ASSERT_TRUE(pixels.fromImage);
    EXPECT_EQ(pixels.width, 64u);
    EXPECT_EQ(pixels.height, 10u);
    EXPECT_EQ(First(pixels), (std::array<int, 3>{70, 70, 70}));
}

TEST_F(WallpaperFiles, UnusableFilesShowTheBackdropColour) {
    const std::string png = Png("good.png", 16, 16, 3, 1);
    std::string bytes = Contents(png);
    const std::string truncated = Bytes("truncated.png", bytes.substr(0, bytes.size() / 2));
    const std::string headerOnly = Bytes("header.png", bytes.substr(0, 40));
    const std::string empty = Bytes("empty.png", "");
    const std::string garbage = Bytes("garbage.jpg", std::string(3000, '\x7f'));
    const std::string directory = folder.string();
    std::vector<std::string> paths = {std::string(), std::string("/no/such/wallpaper.png"), truncated, headerOnly, empty,
                                      garbage, directory};
#ifndef _WIN32
    const std::string fifo = (folder / "pipe").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    paths.push_back(fifo);
#endif
    for (const std::string& path : paths) {
        const WallpaperPixels pixels = LoadWallpaperPixels(path, decode, 4096, 1920, 1080, backdrop);
        if (pixels.fromImage) {
            // stb_image may salvage a truncated PNG; it must then be a whole image of the file's size.
            EXPECT_EQ(path, truncated);
            EXPECT_EQ(pixels.width, 16u);
            continue;
        }
        EXPECT_EQ(pixels.width, 1u) << path;
        EXPECT_EQ(First(pixels), (std::array<int, 3>{0, 0, 255})) << path;
    }
}

TEST_F(WallpaperFiles, ImagesTheDecoderCannotReadGoToThePlatformAtScreenSize) {
    const std::string svg = Bytes("picture.svg", "<svg xmlns='http://www.w3.org/2000/svg'/>");
    decoder.decodable = "<svg xmlns='http://www.w3.org/2000/svg'/>";
    const WallpaperPixels pixels = LoadWallpaperPixels(svg, decode, 4096, 30, 20, backdrop);
    ASSERT_TRUE(pixels.fromImage);
    EXPECT_EQ(pixels.width, 30u);
    EXPECT_EQ(pixels.height, 20u);
    EXPECT_EQ(First(pixels), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(decoder.decodeCalls, 1);
}

TEST_F(WallpaperFiles, AHugeImageIsNotDecodedAtAll) {
    // A PNG header claiming 20000 x 20000 pixels: over the decode limit, so no gigabytes are spent.
    const std::string png = Png("small.png", 1, 1, 3, 9);
    std::string bytes = Contents(png);
    for (int offset : {16, 20}) {  // IHDR width and height, big-endian
        bytes[offset] = 0;
        bytes[offset + 1] = 0;
        bytes[offset + 2] = char(0x4E);
        bytes[offset + 3] = char(0x20);
    }
    const WallpaperPixels pixels = LoadWallpaperPixels(Bytes("huge.png", bytes), decode, 4096, 1920, 1080, backdrop);
    EXPECT_FALSE(pixels.fromImage);
    EXPECT_EQ(pixels.width, 1u);
}

// The built-in decoder gets whole PNGs only: a chunk that claims more bytes than the file holds
// (the decoder would compute a pointer far past its buffer), a file cut before its end, or an
// empty image data chunk, is not handed to it; the intact file decodes.
TEST_F(WallpaperFiles, APngThatLiesAboutItsChunksIsNotDecoded) {
    const std::string intact = Contents(Png("intact.png", 3, 2, 4, 200));
    const auto decode = [](const std::string& bytes) {
        return DecodeImageBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0);
    };
    ASSERT_TRUE(decode(intact));
    std::string lying = intact;
    lying[33] = char(0x7F);  // the first chunk after IHDR claims about 2 GB
    EXPECT_FALSE(decode(lying));
    EXPECT_FALSE(decode(intact.substr(0, intact.size() - 12)));  // no IEND
    EXPECT_FALSE(decode(intact.substr(0, 8)));                     // the signature alone
    // An empty image data chunk before the real one (the decoder would copy it to a null buffer;
    // found by the fuzzer under UBSan).
    const std::string emptyData("\x00\x00\x00\x00IDAT\x35\xaf\x06\x1e", 12);
    EXPECT_FALSE(decode(intact.substr(0, 33) + emptyData + intact.substr(33)));
}

}  // namespace

// A gradient one texel a screen pixel: flat ends and a blend in the middle where a compositor
// stretches two texels, an even blend from edge to edge otherwise; either direction.
TEST(GradientWallpaper, RampsAndDirections) {
    const Color red{1.0f, 0.0f, 0.0f}, blue{0.0f, 0.0f, 1.0f};
    const RgbUpload middle = GradientWallpaper({red, blue, GradientDirection::Vertical, GradientRamp::MiddleHalf}, 1920, 8);
    ASSERT_EQ(middle.width, 1u);
    ASSERT_EQ(middle.height, 8u);
    ASSERT_EQ(middle.pixels.size(), 8u * 4u);  // one padded pixel a row
    const auto row = [&](const RgbUpload& upload, std::size_t y) {
        return std::array<int, 3>{upload.pixels[y * 4], upload.pixels[y * 4 + 1], upload.pixels[y * 4 + 2]};
    };
    EXPECT_EQ(row(middle, 0), (std::array<int, 3>{255, 0, 0}));  // the outer quarters stay flat
    EXPECT_EQ(row(middle, 1), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(row(middle, 6), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(row(middle, 7), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(row(middle, 3), (std::array<int, 3>{159, 0, 96}));  // t = 0.4375 -> 0.375 of the way

    const RgbUpload edge = GradientWallpaper({red, blue, GradientDirection::Horizontal, GradientRamp::EdgeToEdge}, 4, 1080);
    ASSERT_EQ(edge.width, 4u);
    ASSERT_EQ(edge.height, 1u);
    // (i + 0.5) / 4 of the way: 1/8, 3/8, 5/8, 7/8.
    for (std::size_t x = 0; x < 4; ++x) EXPECT_EQ(edge.pixels[x * 3], std::lround(255 * (1 - (x + 0.5) / 4))) << x;
    EXPECT_EQ(GradientWallpaper({red, blue}, 0, 0).height, 1u);  // a degenerate screen still gets a pixel
}
