// Small value types shared by every subsystem: 2-D vectors, RGB colours, the screen size and
// 4x4 matrices in the column-major layout glUniformMatrix4fv takes.
#pragma once

#include <array>

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;
};

struct Color {
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
};

// The screen in pixels, fixed for the run. Plain numbers, so nothing below the window needs the
// windowing library's headers.
struct ScreenSize {
    int width = 0;
    int height = 0;
};

// Column-major: element (row, column) is values[column * 4 + row].
struct Mat4 {
    std::array<float, 16> values{};

    static Mat4 Identity();
    static Mat4 Translation(float x, float y, float z);
    static Mat4 Scale(float x, float y, float z);
    static Mat4 RotationZ(float radians);
    // The orthographic projection: left 0, right width, bottom height, top 0, near -1, far 1.
    static Mat4 ScreenProjection(float width, float height);

    float operator()(int row, int column) const { return values[column * 4 + row]; }
    float& operator()(int row, int column) { return values[column * 4 + row]; }
    const float* data() const { return values.data(); }
};

Mat4 operator*(const Mat4& left, const Mat4& right);
// The matrix applied to the point (x, y, 0, 1); returns the resulting x and y.
Vec2 Transform(const Mat4& matrix, Vec2 point);
