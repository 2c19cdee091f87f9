// The five matrix operations the test scene needs, laid out exactly like Direct3D 8's
// D3DMATRIX (row-major, row vectors: v' = v * M, left-handed), so a Matrix can be handed
// to SetTransform as it is. No D3DX library exists for our toolchain, hence our own.
#pragma once

namespace hzwk {

struct Vec3 {
    float x, y, z;
};

// Same memory layout as D3DMATRIX: m[row][column], _11 at m[0][0], _41.._43 the translation.
struct Matrix {
    float m[4][4];
};

inline Vec3 MakeVec3(float x, float y, float z) { return Vec3{x, y, z}; }

// Each returns `out`, like its D3DX namesake. `out` may alias an input of Multiply.
Matrix* D3DXMatrixIdentity(Matrix* out);
Matrix* D3DXMatrixLookAtLH(Matrix* out, const Vec3* eye, const Vec3* at, const Vec3* up);
Matrix* D3DXMatrixPerspectiveFovLH(Matrix* out, float fovY, float aspect, float zNear, float zFar);
Matrix* D3DXMatrixRotationY(Matrix* out, float angle);
// out = a * b: a row vector is transformed by a first, then by b.
Matrix* D3DXMatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b);

}  // namespace hzwk
