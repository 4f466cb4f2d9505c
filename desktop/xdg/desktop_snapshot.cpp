// The snapshot's bytes: fixed-width little-endian numbers, strings as a length and their bytes,
// and a mark between the head and the images.
#include "desktop/xdg/desktop_snapshot.h"
#include "desktop/xdg/reading_limits.h"

#include <cmath>
#include <cstring>

namespace {

constexpr std::string_view Magic = "gravefall-desktop-1";
constexpr std::string_view HeadEnd = "images";
constexpr std::uint32_t MaxItems = reading_limits::MaxSnapshotItems;
constexpr std::uint32_t MaxText = reading_limits::MaxSnapshotText;

class Writer {
public:
    void U8(std::uint8_t value) { bytes.push_back(static_cast<char>(value)); }
    void U32(std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) U8(static_cast<std::uint8_t>(value >> shift));
    }
    void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
    void F32(float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        U32(bits);
    }
    void Text(std::string_view text) {
        U32(static_cast<std::uint32_t>(text.size()));
        bytes.append(text);
    }
    void Raw(std::string_view raw) { bytes.append(raw); }
    void Colour(const Color& colour) {
        F32(colour.r);
        F32(colour.g);
        F32(colour.b);
    }
    std::string bytes;
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes(bytes) {}
    bool U8(std::uint8_t& value) {
        if (at >= bytes.size()) return false;
        value = static_cast<std::uint8_t>(bytes[at++]);
        return true;
    }
    bool U32(std::uint32_t& value) {
        if (bytes.size() - at < 4) return false;
        value = 0;
        for (int i = 0; i < 4; ++i) value |= std::uint32_t{static_cast<std::uint8_t>(bytes[at + i])} << (8 * i);
        at += 4;
        return true;
    }
    bool I32(std::int32_t& value) {
        std::uint32_t bits;
        if (!U32(bits)) return false;
        value = static_cast<std::int32_t>(bits);
        return true;
    }
    bool Text(std::string& text, std::uint32_t limit = MaxText) {
        std::uint32_t size;
        if (!U32(size) || size > limit || bytes.size() - at < size) return false;
        text.assign(bytes.substr(at, size));
        at += size;
        return true;
    }
    bool Raw(std::string_view expected) {
        if (bytes.substr(at, expected.size()) != expected) return false;
        at += expected.size();
        return true;
    }
    // A colour component: a number from 0 to 1.
    bool Unit(float& value) {
        std::uint32_t bits;
        if (!U32(bits)) return false;
        std::memcpy(&value, &bits, sizeof value);
        return std::isfinite(value) && value >= 0.0f && value <= 1.0f;
    }
    bool Colour(Color& colour) { return Unit(colour.r) && Unit(colour.g) && Unit(colour.b); }
    bool Bytes(std::size_t size, std::vector<unsigned char>& out) {
        if (bytes.size() - at < size) return false;
        out.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
        return true;
    }

private:
    std::string_view bytes;
    std::size_t at = 0;
};

bool ReadWallpaper(Reader& in, WallpaperSetting& wallpaper) {
    std::uint8_t hasColour = 0, hasGradient = 0;
    if (!in.Text(wallpaper.path) || !in.U8(hasColour) || hasColour > 1) return false;
    if (hasColour) {
        Color colour;
        if (!in.Colour(colour)) return false;
        wallpaper.color = colour;
    }
    if (!in.U8(hasGradient) || hasGradient > 1) return false;
    if (hasGradient) {
        ColorGradient gradient;
        std::uint8_t direction = 0, ramp = 0;
        if (!in.Colour(gradient.first) || !in.Colour(gradient.second) || !in.U8(direction) || !in.U8(ramp) ||
            direction > 1 || ramp > 1)
            return false;
        gradient.direction = direction ? GradientDirection::Horizontal : GradientDirection::Vertical;
        gradient.ramp = ramp ? GradientRamp::MiddleHalf : GradientRamp::EdgeToEdge;
        wallpaper.gradient = gradient;
    }
    return true;
}

}  // namespace

std::string EncodeSnapshotHead(const DesktopSnapshot& snapshot) {
    Writer out;
    out.Raw(Magic);
    out.U8(snapshot.readable ? 1 : 0);
    out.I32(snapshot.iconSize);
    out.U32(static_cast<std::uint32_t>(snapshot.items.size()));
    for (const SnapshotItem& item : snapshot.items) {
        out.Text(item.displayName);
        out.I32(item.imageIndex);
    }
    out.U32(static_cast<std::uint32_t>(snapshot.view.size()));
    for (const XdgViewItem& entry : snapshot.view) {
        out.U32(static_cast<std::uint32_t>(entry.item));
        out.I32(entry.position.x);
        out.I32(entry.position.y);
    }
    const WallpaperSetting& wallpaper = snapshot.wallpaper;
    out.Text(wallpaper.path);
    out.U8(wallpaper.color ? 1 : 0);
    if (wallpaper.color) out.Colour(*wallpaper.color);
    out.U8(wallpaper.gradient ? 1 : 0);
    if (wallpaper.gradient) {
        out.Colour(wallpaper.gradient->first);
        out.Colour(wallpaper.gradient->second);
        out.U8(wallpaper.gradient->direction == GradientDirection::Horizontal ? 1 : 0);
        out.U8(wallpaper.gradient->ramp == GradientRamp::MiddleHalf ? 1 : 0);
    }
    out.U32(static_cast<std::uint32_t>(snapshot.images.size()));
    out.Raw(HeadEnd);
    return std::move(out.bytes);
}

std::string EncodeSnapshotImage(std::int32_t index, const RgbaImage& image) {
    Writer out;
    out.I32(index);
    out.I32(image.width);
    out.I32(image.height);
    out.Raw(std::string_view(reinterpret_cast<const char*>(image.pixels.data()), image.pixels.size()));
    return std::move(out.bytes);
}

std::optional<DesktopSnapshot> DecodeSnapshot(std::string_view bytes) {
    Reader in(bytes);
    DesktopSnapshot snapshot;
    std::uint8_t readable = 0;
    std::uint32_t items = 0, views = 0, images = 0;
    if (!in.Raw(Magic) || !in.U8(readable) || readable > 1 || !in.I32(snapshot.iconSize) || snapshot.iconSize < 16 ||
        snapshot.iconSize > 256 || !in.U32(items) || items > MaxItems)
        return std::nullopt;
    snapshot.readable = readable == 1;
    snapshot.items.resize(items);
    for (SnapshotItem& item : snapshot.items)
        if (!in.Text(item.displayName) || !in.I32(item.imageIndex) || item.imageIndex < -1) return std::nullopt;
    if (!in.U32(views) || views > items) return std::nullopt;
    snapshot.view.resize(views);
    for (XdgViewItem& entry : snapshot.view) {
        std::uint32_t item = 0;
        if (!in.U32(item) || item >= items || !in.I32(entry.position.x) || !in.I32(entry.position.y))
            return std::nullopt;
        entry.item = item;
    }
    if (!ReadWallpaper(in, snapshot.wallpaper) || !in.U32(images) || images > MaxItems || !in.Raw(HeadEnd))
        return std::nullopt;
    for (const SnapshotItem& item : snapshot.items)
        if (item.imageIndex >= static_cast<std::int32_t>(images)) return std::nullopt;
    snapshot.images.resize(images);

    // The images that arrived whole; the first malformed or cut one ends the reading.
    for (;;) {
        std::int32_t index = 0, width = 0, height = 0;
        if (!in.I32(index) || !in.I32(width) || !in.I32(height)) break;
        if (index < 0 || static_cast<std::uint32_t>(index) >= images || width <= 0 || height <= 0 ||
            width > snapshot.iconSize || height > snapshot.iconSize)
            break;
        RgbaImage image;
        image.width = width;
        image.height = height;
        if (!in.Bytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, image.pixels)) break;
        snapshot.images[static_cast<std::size_t>(index)] = std::move(image);
    }
    return snapshot;
}
