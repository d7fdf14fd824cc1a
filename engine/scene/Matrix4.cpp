#include "engine/scene/Matrix4.h"

#include <cmath>

namespace zav {

bool operator==(const Matrix4& a, const Matrix4& b) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (a.m[r][c] != b.m[r][c]) return false;
    return true;
}

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            result.m[r][c] =
                a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c] + a.m[r][3] * b.m[3][c];
    return result;
}

bool Invert(const Matrix4& matrix, Matrix4& inverse) {
    // Cofactor expansion in double, from the 2x2 minors of the upper and
    // lower row pairs.
    double a[16];
    for (int i = 0; i < 16; ++i) a[i] = matrix.m[i / 4][i % 4];
    double s0 = a[0] * a[5] - a[4] * a[1];
    double s1 = a[0] * a[6] - a[4] * a[2];
    double s2 = a[0] * a[7] - a[4] * a[3];
    double s3 = a[1] * a[6] - a[5] * a[2];
    double s4 = a[1] * a[7] - a[5] * a[3];
    double s5 = a[2] * a[7] - a[6] * a[3];
    double c5 = a[10] * a[15] - a[14] * a[11];
    double c4 = a[9] * a[15] - a[13] * a[11];
    double c3 = a[9] * a[14] - a[13] * a[10];
    double c2 = a[8] * a[15] - a[12] * a[11];
    double c1 = a[8] * a[14] - a[12] * a[10];
    double c0 = a[8] * a[13] - a[12] * a[9];
    double determinant = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (!std::isfinite(determinant) || determinant == 0.0) return false;
    double k = 1.0 / determinant;
    double b[16] = {
        (a[5] * c5 - a[6] * c4 + a[7] * c3) * k,     (-a[1] * c5 + a[2] * c4 - a[3] * c3) * k,
        (a[13] * s5 - a[14] * s4 + a[15] * s3) * k,  (-a[9] * s5 + a[10] * s4 - a[11] * s3) * k,
        (-a[4] * c5 + a[6] * c2 - a[7] * c1) * k,    (a[0] * c5 - a[2] * c2 + a[3] * c1) * k,
        (-a[12] * s5 + a[14] * s2 - a[15] * s1) * k, (a[8] * s5 - a[10] * s2 + a[11] * s1) * k,
        (a[4] * c4 - a[5] * c2 + a[7] * c0) * k,     (-a[0] * c4 + a[1] * c2 - a[3] * c0) * k,
        (a[12] * s4 - a[13] * s2 + a[15] * s0) * k,  (-a[8] * s4 + a[9] * s2 - a[11] * s0) * k,
        (-a[4] * c3 + a[5] * c1 - a[6] * c0) * k,    (a[0] * c3 - a[1] * c1 + a[2] * c0) * k,
        (-a[12] * s3 + a[13] * s1 - a[14] * s0) * k, (a[8] * s3 - a[9] * s1 + a[10] * s0) * k,
    };
    Matrix4 result;
    for (int i = 0; i < 16; ++i) {
        if (!std::isfinite(b[i]) || std::fabs(b[i]) > 3.4e38) return false;
        result.m[i / 4][i % 4] = static_cast<float>(b[i]);
    }
    inverse = result;
    return true;
}

Vector3 TransformCoordinate(const Matrix4& matrix, const Vector3& point) {
    const auto& m = matrix.m;
    float x = point.x * m[0][0] + point.y * m[1][0] + point.z * m[2][0] + m[3][0];
    float y = point.x * m[0][1] + point.y * m[1][1] + point.z * m[2][1] + m[3][1];
    float z = point.x * m[0][2] + point.y * m[1][2] + point.z * m[2][2] + m[3][2];
    float w = point.x * m[0][3] + point.y * m[1][3] + point.z * m[2][3] + m[3][3];
    return {x / w, y / w, z / w};
}

bool IsFinite(const Matrix4& matrix) {
    for (const auto& row : matrix.m)
        for (float value : row)
            if (!std::isfinite(value)) return false;
    return true;
}

}  // namespace zav
