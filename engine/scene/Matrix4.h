#pragma once

#include "engine/core/Values.h"

namespace zav {

// 4x4 float matrix in row-vector form: a point transforms as [x y z 1] * M,
// so row 3 holds the translation. m[row][column].
struct Matrix4 {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    static Matrix4 Identity() { return Matrix4(); }
};

bool operator==(const Matrix4& a, const Matrix4& b);

// a * b: apply a first, then b.
Matrix4 Multiply(const Matrix4& a, const Matrix4& b);

// The inverse by cofactors; false (and `inverse` untouched) when the matrix
// is singular or not finite.
bool Invert(const Matrix4& matrix, Matrix4& inverse);

// [p 1] * M followed by the division by w.
Vector3 TransformCoordinate(const Matrix4& matrix, const Vector3& point);

bool IsFinite(const Matrix4& matrix);

}  // namespace zav
