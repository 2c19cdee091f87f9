#include "d3dtest/d3d_text_win32.h"

#include <cstring>
#include <vector>

namespace hzwk {

namespace {

struct TextVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};
constexpr DWORD kTextFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// The first texture format the device can sample, best first. The glyph coverage goes into
// alpha; colour is white so the vertex colour tints it.
D3DFORMAT PickTextureFormat(IDirect3DDevice8* device) {
    const D3DFORMAT candidates[] = {D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4, D3DFMT_A1R5G5B5};
    IDirect3D8* d3d = nullptr;
    D3DDISPLAYMODE mode = {};
    if (FAILED(device->GetDirect3D(&d3d)) || d3d == nullptr) return D3DFMT_A8R8G8B8;
    D3DFORMAT chosen = D3DFMT_UNKNOWN;
    if (SUCCEEDED(device->GetDisplayMode(&mode))) {
        for (D3DFORMAT f : candidates)
            if (SUCCEEDED(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format, 0,
                                                 D3DRTYPE_TEXTURE, f))) {
                chosen = f;
                break;
            }
    }
    d3d->Release();
    return chosen == D3DFMT_UNKNOWN ? D3DFMT_A8R8G8B8 : chosen;
}

}  // namespace

bool D3DTextFont::Layout(HDC dc, int texSize) {
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    lineHeight_ = tm.tmHeight > 0 ? tm.tmHeight : 16;
    int x = 0, y = 0;
    for (int i = 0; i < kCharCount; ++i) {
        char ch = static_cast<char>(kFirstChar + i);
        SIZE size = {};
        GetTextExtentPoint32A(dc, &ch, 1, &size);
        const int cell = size.cx + 2;  // a pixel either side for overhangs and filtering
        if (x + cell > texSize) {
            x = 0;
            y += lineHeight_ + 1;
        }
        if (y + lineHeight_ > texSize || cell > texSize) return false;
        glyphs_[i] = Glyph{static_cast<short>(x + 1), static_cast<short>(y), static_cast<short>(size.cx)};
        TextOutA(dc, x + 1, y, &ch, 1);
        x += cell;
    }
    return true;
}

HRESULT D3DTextFont::Create(IDirect3DDevice8* device, HFONT font) {
    Release();
    device_ = device;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return E_FAIL;
    HGDIOBJ oldFont = SelectObject(dc, font);
    HRESULT hr = E_FAIL;
    for (int size = 256; size <= 1024; size *= 2) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = size;
        bi.bmiHeader.biHeight = -size;  // top-down rows
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap == nullptr || bits == nullptr) break;
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        std::memset(bits, 0, static_cast<size_t>(size * size * 4));
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
        const bool fits = Layout(dc, size);
        GdiFlush();
        if (fits) {
            texSize_ = size;
            hr = Upload(static_cast<const BYTE*>(bits), size, PickTextureFormat(device));
        }
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        if (fits) break;
    }
    SelectObject(dc, oldFont);
    DeleteDC(dc);
    if (FAILED(hr)) Release();
    return hr;
}

HRESULT D3DTextFont::Upload(const BYTE* pixels, int texSize, D3DFORMAT format) {
    const UINT side = static_cast<UINT>(texSize);
    HRESULT hr = device_->CreateTexture(side, side, 1, 0, format, D3DPOOL_MANAGED, &texture_);
    if (FAILED(hr)) {
        texture_ = nullptr;
        return hr;
    }
    D3DLOCKED_RECT locked = {};
    hr = texture_->LockRect(0, &locked, nullptr, 0);
    if (FAILED(hr)) return hr;
    for (int y = 0; y < texSize; ++y) {
        const BYTE* src = pixels + static_cast<size_t>(y * texSize * 4);
        BYTE* row = static_cast<BYTE*>(locked.pBits) + static_cast<ptrdiff_t>(y) * locked.Pitch;
        for (int x = 0; x < texSize; ++x) {
            // Grey-scale glyphs: any channel is the coverage; take the brightest.
            BYTE a = src[x * 4];
            if (src[x * 4 + 1] > a) a = src[x * 4 + 1];
            if (src[x * 4 + 2] > a) a = src[x * 4 + 2];
            if (format == D3DFMT_A8R8G8B8) {
                const DWORD p = (static_cast<DWORD>(a) << 24) | 0x00FFFFFFu;
                std::memcpy(row + x * 4, &p, 4);
            } else {
                const WORD p = format == D3DFMT_A4R4G4B4 ? static_cast<WORD>(((a >> 4) << 12) | 0x0FFF)
                                                         : static_cast<WORD>(a >= 128 ? 0xFFFF : 0x7FFF);
                std::memcpy(row + x * 2, &p, 2);
            }
        }
    }
    texture_->UnlockRect(0);
    return D3D_OK;
}

void D3DTextFont::DrawText(const char* text, const RECT& rect, DWORD format, D3DCOLOR colour) {
    if (texture_ == nullptr || device_ == nullptr || text == nullptr) return;
    const bool clip = (format & DT_NOCLIP) == 0;
    const float texel = 1.0f / static_cast<float>(texSize_);
    const float lineHeight = static_cast<float>(lineHeight_);
    std::vector<TextVertex> quads;
    int x = rect.left, y = rect.top;
    for (const char* p = text; *p != '\0'; ++p) {
        const unsigned char ch = static_cast<unsigned char>(*p);
        if (ch == '\n') {
            x = rect.left;
            y += lineHeight_;
            continue;
        }
        if (ch < kFirstChar) continue;
        const Glyph& g = glyphs_[ch - kFirstChar];
        float x0 = static_cast<float>(x), y0 = static_cast<float>(y);
        float x1 = x0 + g.width, y1 = y0 + lineHeight;
        float u0 = g.x * texel, v0 = g.y * texel;
        float u1 = (g.x + g.width) * texel, v1 = (g.y + lineHeight) * texel;
        x += g.width;
        if (clip) {
            // Cut the quad to the rectangle and its texture coordinates with it.
            const float l = static_cast<float>(rect.left), t = static_cast<float>(rect.top);
            const float r = static_cast<float>(rect.right), b = static_cast<float>(rect.bottom);
            if (x0 >= r || y0 >= b || x1 <= l || y1 <= t) continue;
            if (x1 > r) { u1 -= (x1 - r) * texel; x1 = r; }
            if (y1 > b) { v1 -= (y1 - b) * texel; y1 = b; }
            if (x0 < l) { u0 += (l - x0) * texel; x0 = l; }
            if (y0 < t) { v0 += (t - y0) * texel; y0 = t; }
        }
        // Half-pixel shift: texel centres land on pixel centres.
        x0 -= 0.5f; x1 -= 0.5f; y0 -= 0.5f; y1 -= 0.5f;
        const TextVertex tl = {x0, y0, 0.0f, 1.0f, colour, u0, v0};
        const TextVertex tr = {x1, y0, 0.0f, 1.0f, colour, u1, v0};
        const TextVertex bl = {x0, y1, 0.0f, 1.0f, colour, u0, v1};
        const TextVertex br = {x1, y1, 0.0f, 1.0f, colour, u1, v1};
        quads.insert(quads.end(), {tl, tr, bl, tr, br, bl});
    }
    if (quads.empty()) return;

    // Save what the scene relies on, draw, and put it back.
    struct RenderState {
        D3DRENDERSTATETYPE type;
        DWORD value;
        DWORD saved;
    };
    RenderState rs[] = {
        {D3DRS_ALPHABLENDENABLE, TRUE, 0}, {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA, 0},
        {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA, 0}, {D3DRS_ZENABLE, D3DZB_FALSE, 0},
        {D3DRS_ALPHATESTENABLE, FALSE, 0}, {D3DRS_FILLMODE, D3DFILL_SOLID, 0},
        {D3DRS_FOGENABLE, FALSE, 0},
    };
    struct StageState {
        D3DTEXTURESTAGESTATETYPE type;
        DWORD value;
        DWORD saved;
    };
    StageState ss[] = {
        {D3DTSS_COLOROP, D3DTOP_MODULATE, 0}, {D3DTSS_COLORARG1, D3DTA_TEXTURE, 0},
        {D3DTSS_COLORARG2, D3DTA_DIFFUSE, 0}, {D3DTSS_ALPHAOP, D3DTOP_MODULATE, 0},
        {D3DTSS_ALPHAARG1, D3DTA_TEXTURE, 0}, {D3DTSS_ALPHAARG2, D3DTA_DIFFUSE, 0},
        {D3DTSS_MINFILTER, D3DTEXF_POINT, 0}, {D3DTSS_MAGFILTER, D3DTEXF_POINT, 0},
        {D3DTSS_MIPFILTER, D3DTEXF_NONE, 0}, {D3DTSS_TEXCOORDINDEX, 0, 0},
        {D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE, 0},
    };
    for (RenderState& s : rs) {
        device_->GetRenderState(s.type, &s.saved);
        device_->SetRenderState(s.type, s.value);
    }
    for (StageState& s : ss) {
        device_->GetTextureStageState(0, s.type, &s.saved);
        device_->SetTextureStageState(0, s.type, s.value);
    }
    DWORD savedShader = 0;
    device_->GetVertexShader(&savedShader);
    IDirect3DBaseTexture8* savedTexture = nullptr;
    device_->GetTexture(0, &savedTexture);

    device_->SetTexture(0, texture_);
    device_->SetVertexShader(kTextFvf);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(quads.size() / 3), quads.data(),
                             sizeof(TextVertex));

    device_->SetTexture(0, savedTexture);
    if (savedTexture != nullptr) savedTexture->Release();
    device_->SetVertexShader(savedShader);
    for (const StageState& s : ss) device_->SetTextureStageState(0, s.type, s.saved);
    for (const RenderState& s : rs) device_->SetRenderState(s.type, s.saved);
}

void D3DTextFont::Release() {
    if (texture_ != nullptr) {
        texture_->Release();
        texture_ = nullptr;
    }
    device_ = nullptr;
}

}  // namespace hzwk
