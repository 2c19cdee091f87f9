// The fixed scene of the full-screen test: the vertex layout and table, the camera, and the
// presentation choices that follow from VSync ON or OFF. Direct3D 8 codes are plain numbers
// here so this stays free of Windows headers.
#pragma once

#include <array>
#include <cstdint>

#include "d3dtest/frame_state.h"
#include "d3dtest/matrix.h"

namespace hzwk {

// D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1
inline constexpr uint32_t kSceneFvf = 0x1C2;

struct SceneVertex {
    float x, y, z;
    uint32_t diffuse;
    uint32_t specular;
    float tu, tv;
};
static_assert(sizeof(SceneVertex) == 28, "the vertex buffer's stride is 28 bytes");

inline SceneVertex MakeVertex(float x, float y, float z, uint32_t diffuse, uint32_t specular,
                              float tu, float tv) {
    return SceneVertex{x, y, z, diffuse, specular, tu, tv};
}

// Seven slots: six vertices of the two triangles, and a seventh that stays all zero.
inline constexpr int kVertexSlots = 7;
using VertexArray = std::array<SceneVertex, kVertexSlots>;
inline constexpr uint32_t kVertexBufferBytes = kVertexSlots * sizeof(SceneVertex);  // 196

// The square of side 2 in the plane z = 0, red, green, blue / green, blue, yellow.
VertexArray BuildSquare();

// Camera and projection.
inline constexpr Vec3 kEye = {0.0f, 5.0f, 9.0f};
inline constexpr Vec3 kLookAt = {0.0f, 0.0f, 0.0f};
inline constexpr Vec3 kUp = {0.0f, 1.0f, 0.0f};
inline constexpr float kFovY = kScenePi / 4.0f;
inline constexpr float kAspect = 1.0f;  // for every mode, so 4:3 modes show the square wider
inline constexpr float kNearPlane = 0.1f;
inline constexpr float kFarPlane = 500.0f;

// Swap effect and presentation interval: VSync ON copies at the retrace with the default
// interval; VSync OFF flips immediately.
struct PresentChoice {
    uint32_t swapEffect;
    uint32_t presentationInterval;
};
PresentChoice ChoosePresentation(bool vsync);

inline constexpr uint32_t kTextColour = 0xFF55CCFF;
struct TextRect {
    int32_t left, top, right, bottom;
};
inline constexpr TextRect kCaptionRect = {0, 0, 500, 20};
inline constexpr TextRect kHintRect = {0, 20, 250, 40};

}  // namespace hzwk
