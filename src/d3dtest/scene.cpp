#include "d3dtest/scene.h"

namespace hzwk {

VertexArray BuildSquare() {
    VertexArray v{};  // slot 7 stays all zero
    v[0] = MakeVertex(-1.0f, 1.0f, 0.0f, 0xFFFF0000u, 0, 0.0f, 0.0f);
    v[1] = MakeVertex(1.0f, 1.0f, 0.0f, 0xFF00FF00u, 0, 0.0f, 0.0f);
    v[2] = MakeVertex(-1.0f, -1.0f, 0.0f, 0xFF0000FFu, 0, 0.0f, 0.0f);
    v[3] = MakeVertex(1.0f, 1.0f, 0.0f, 0xFF00FF00u, 0, 0.0f, 0.0f);
    v[4] = MakeVertex(-1.0f, -1.0f, 0.0f, 0xFF0000FFu, 0, 0.0f, 0.0f);
    v[5] = MakeVertex(1.0f, -1.0f, 0.0f, 0xFFFFFF00u, 0, 0.0f, 0.0f);
    return v;
}

PresentChoice ChoosePresentation(bool vsync) {
    // D3DSWAPEFFECT_COPY_VSYNC = 4, D3DSWAPEFFECT_FLIP = 2;
    // D3DPRESENT_INTERVAL_DEFAULT = 0, D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000.
    return vsync ? PresentChoice{4, 0} : PresentChoice{2, 0x80000000u};
}

}  // namespace hzwk
