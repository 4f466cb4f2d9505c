// Helpers for GL tests: an offscreen colour target read back in the program's pixel space
// (origin top-left, y down), and capturing standard output around a call.
#pragma once

#include "core/geometry.h"

#include <glad/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

using Rgba = std::array<int, 4>;

// A framebuffer of its own, bound and with a matching viewport while the object lives.
class OffscreenTarget {
public:
    OffscreenTarget(int width, int height) : width(width), height(height) {
        glGenTextures(1, &colour);
        glBindTexture(GL_TEXTURE_2D, colour);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        glViewport(0, 0, width, height);
        Clear(0.0f, 0.0f, 0.0f, 1.0f);
    }
    ~OffscreenTarget() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &colour);
    }
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    void Clear(float r, float g, float b, float a) {
        glClearColor(r, g, b, a);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    // The pixel at (x, y) with y counted down from the top, as the screen projection places it.
    Rgba Pixel(int x, int y) const {
        unsigned char value[4] = {};
        glReadPixels(x, height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, value);
        return {value[0], value[1], value[2], value[3]};
    }

    // The pixel-space projection of this target, as the program computes it for the screen.
    Mat4 Projection() const { return Mat4::ScreenProjection(static_cast<float>(width), static_cast<float>(height)); }

    const int width;
    const int height;

private:
    GLuint colour = 0;
    GLuint framebuffer = 0;
};

// Within a few steps of 255 per channel: linear filtering next to a texel edge blends a little.
inline testing::AssertionResult Near(const Rgba& actual, const Rgba& expected, int tolerance = 20) {
    for (int i = 0; i < 4; ++i) {
        if (actual[i] < expected[i] - tolerance || actual[i] > expected[i] + tolerance) {
            return testing::AssertionFailure() << "got (" << actual[0] << ", " << actual[1] << ", " << actual[2] << ", "
                                               << actual[3] << "), expected (" << expected[0] << ", " << expected[1]
                                               << ", " << expected[2] << ", " << expected[3] << ")";
        }
    }
    return testing::AssertionSuccess();
}

inline bool IsLit(const Rgba& pixel) {
    return pixel[0] > 0 || pixel[1] > 0 || pixel[2] > 0;
}

// Runs the call and returns what it wrote to standard output.
template <typename Call>
std::string CapturedOutput(Call&& call) {
    testing::internal::CaptureStdout();
    call();
    return testing::internal::GetCapturedStdout();
}
