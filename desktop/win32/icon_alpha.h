// Straight alpha for captured icons. GDI draws an icon that has an alpha channel into a 32-bit
// bitmap premultiplied, while the renderer blends straight alpha; an icon without one is colour
// plus a 1-bit mask and shows only through that mask. Pixels are B, G, R, A, as GDI lays them out.
#pragma once

#include <cstddef>

// Undoes premultiplication, rounding to the nearest value: c = min(255, (c * 255 + a / 2) / a).
// A pixel of alpha 0 becomes transparent black.
inline void UnpremultiplyAlpha(unsigned char* bgra, std::size_t byteCount) {
    for (std::size_t i = 0; i + 4 <= byteCount; i += 4) {
        const unsigned alpha = bgra[i + 3];
        if (alpha == 255) continue;
        for (std::size_t channel = 0; channel < 3; ++channel) {
            const unsigned straight = alpha == 0 ? 0 : (bgra[i + channel] * 255u + alpha / 2) / alpha;
            bgra[i + channel] = static_cast<unsigned char>(straight > 255 ? 255 : straight);
        }
    }
}

// Whether any pixel has a non-zero alpha byte. A drawing without one came from an image that
// has no alpha channel.
inline bool HasAnyAlpha(const unsigned char* bgra, std::size_t byteCount) {
    for (std::size_t i = 3; i < byteCount; i += 4) {
        if (bgra[i] != 0) return true;
    }
    return false;
}

// Alpha from the icon's mask as GDI draws it, white where the icon is transparent and black where
// it is opaque: opaque pixels keep their colour at alpha 255, the others become transparent black
// (the mask's "invert the screen" pixels have nothing to invert over a wallpaper that is drawn later).
inline void ApplyMaskAlpha(unsigned char* bgra, const unsigned char* maskBgra, std::size_t byteCount) {
    for (std::size_t i = 0; i + 4 <= byteCount; i += 4) {
        if (maskBgra[i] >= 128) {
            bgra[i] = bgra[i + 1] = bgra[i + 2] = bgra[i + 3] = 0;
        } else {
            bgra[i + 3] = 255;
        }
    }
}
