#include "d3dtest/matrix.h"

#include <cmath>

namespace hzwk {

namespace {

Vec3 Sub(const Vec3& a, const Vec3& b) { return Vec3{a.x - b.x, a.y - b.y, a.z - b.z}; }

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// A zero vector stays zero rather than turning into NaNs.
Vec3 Normalize(const Vec3& v) {
    const float len = std::sqrt(Dot(v, v));
    if (len == 0.0f) return v;
    return Vec3{v.x / len, v.y / len, v.z / len};
}

}  // namespace

Matrix* D3DXMatrixIdentity(Matrix* out) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out->m[r][c] = (r == c) ? 1.0f : 0.0f;
    return out;
}

Matrix* D3DXMatrixLookAtLH(Matrix* out, const Vec3* eye, const Vec3* at, const Vec3* up) {
    const Vec3 zAxis = Normalize(Sub(*at, *eye));
    const Vec3 xAxis = Normalize(Cross(*up, zAxis));
    const Vec3 yAxis = Cross(zAxis, xAxis);
    const Vec3 axes[3] = {xAxis, yAxis, zAxis};
    for (int c = 0; c < 3; ++c) {
        out->m[0][c] = axes[c].x;
        out->m[1][c] = axes[c].y;
        out->m[2][c] = axes[c].z;
        out->m[3][c] = -Dot(axes[c], *eye);
    }
    out->m[0][3] = out->m[1][3] = out->m[2][3] = 0.0f;
    out->m[3][3] = 1.0f;
    return out;
}

Matrix* D3DXMatrixPerspectiveFovLH(Matrix* out, float fovY, float aspect, float zNear, float zFar) {
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    const float xScale = yScale / aspect;
    const float q = zFar / (zFar - zNear);
    for (auto& row : out->m)
        for (float& v : row) v = 0.0f;
    out->m[0][0] = xScale;
    out->m[1][1] = yScale;
    out->m[2][2] = q;
    out->m[2][3] = 1.0f;
    out->m[3][2] = -zNear * q;
    return out;
}

Matrix* D3DXMatrixRotationY(Matrix* out, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->m[0][0] = c;
    out->m[0][2] = -s;
    out->m[2][0] = s;
    out->m[2][2] = c;
    return out;
}

Matrix* D3DXMatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b) {
    Matrix r;  // built aside: the frame loop multiplies into one of its inputs
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a->m[i][k] * b->m[k][j];
            r.m[i][j] = sum;
        }
    *out = r;
    return out;
}

}  // namespace hzwk
