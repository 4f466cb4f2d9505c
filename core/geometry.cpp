// 4x4 matrix arithmetic for placing sprites and projecting pixel space to clip space.
#include "core/geometry.h"

#include <cmath>

Mat4 Mat4::Identity() {
    Mat4 matrix;
    for (int i = 0; i < 4; ++i) matrix(i, i) = 1.0f;
    return matrix;
}

Mat4 Mat4::Translation(float x, float y, float z) {
    Mat4 matrix = Identity();
    matrix(0, 3) = x;
    matrix(1, 3) = y;
    matrix(2, 3) = z;
    return matrix;
}

Mat4 Mat4::Scale(float x, float y, float z) {
    Mat4 matrix = Identity();
    matrix(0, 0) = x;
    matrix(1, 1) = y;
    matrix(2, 2) = z;
    return matrix;
}

Mat4 Mat4::RotationZ(float radians) {
    Mat4 matrix = Identity();
    const float cosine = std::cos(radians);
    const float sine = std::sin(radians);
    matrix(0, 0) = cosine;
    matrix(0, 1) = -sine;
    matrix(1, 0) = sine;
    matrix(1, 1) = cosine;
    return matrix;
}

Mat4 Mat4::ScreenProjection(float width, float height) {
    // Orthographic with left 0, right width, bottom height, top 0, near -1, far 1.
    const float left = 0.0f, right = width, bottom = height, top = 0.0f, zNear = -1.0f, zFar = 1.0f;
    Mat4 matrix = Identity();
    matrix(0, 0) = 2.0f / (right - left);
    matrix(1, 1) = 2.0f / (top - bottom);
    matrix(2, 2) = -2.0f / (zFar - zNear);
    matrix(0, 3) = -(right + left) / (right - left);
    matrix(1, 3) = -(top + bottom) / (top - bottom);
    matrix(2, 3) = -(zFar + zNear) / (zFar - zNear);
    return matrix;
}

Mat4 operator*(const Mat4& left, const Mat4& right) {
    Mat4 product;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += left(row, k) * right(k, column);
            product(row, column) = sum;
        }
    }
    return product;
}

Vec2 Transform(const Mat4& matrix, Vec2 point) {
    return {matrix(0, 0) * point.x + matrix(0, 1) * point.y + matrix(0, 3),
            matrix(1, 0) * point.x + matrix(1, 1) * point.y + matrix(1, 3)};
}
