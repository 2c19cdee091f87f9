// A text drawer for a Direct3D 8 device: the glyphs of one GDI font are drawn once per
// device into a texture, and strings are drawn as one textured quad per character.
// Stands in for the D3DX font, which our toolchain does not have.
#pragma once

#include <windows.h>
#include <d3d8.h>

namespace hzwk {

class D3DTextFont {
public:
    D3DTextFont() = default;
    D3DTextFont(const D3DTextFont&) = delete;
    D3DTextFont& operator=(const D3DTextFont&) = delete;
    ~D3DTextFont() { Release(); }

    // Renders the font's characters 32..255 into a texture of `device`.
    HRESULT Create(IDirect3DDevice8* device, HFONT font);
    // Draws `text` from the rectangle's top-left corner, one line per '\n', clipped to the
    // rectangle (unless DT_NOCLIP), in `colour`. Must be called between BeginScene and
    // EndScene; the device's states are left as they were.
    void DrawText(const char* text, const RECT& rect, DWORD format, D3DCOLOR colour);
    void Release();

private:
    struct Glyph {
        short x, y, width;
    };
    static constexpr int kFirstChar = 32;
    static constexpr int kCharCount = 256 - kFirstChar;

    bool Layout(HDC dc, int texSize);
    HRESULT Upload(const BYTE* pixels, int texSize, D3DFORMAT format);

    IDirect3DDevice8* device_ = nullptr;  // not owned
    IDirect3DTexture8* texture_ = nullptr;
    int texSize_ = 0;
    int lineHeight_ = 0;
    Glyph glyphs_[kCharCount] = {};
};

}  // namespace hzwk
