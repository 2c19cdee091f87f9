// The benchmark's yardstick: a full-screen Direct3D 8 device like the test's, VSync OFF,
// whose loop only clears and presents. Prints "bare frames=<n> ms=<t> fps=<f>".
//   hzwkd3dbare.exe <width> <height> <16|32> <seconds>
#include <windows.h>
#include <d3d8.h>

#include <cstdio>
#include <cstdlib>

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: hzwkd3dbare <width> <height> <16|32> <seconds>\n");
        return 2;
    }
    const UINT width = static_cast<UINT>(std::atoi(argv[1]));
    const UINT height = static_cast<UINT>(std::atoi(argv[2]));
    const D3DFORMAT format = std::atoi(argv[3]) == 16 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8;
    const DWORD runMs = static_cast<DWORD>(std::atoi(argv[4])) * 1000;

    char path[MAX_PATH + 16] = {};
    const UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 3;
    lstrcatA(path, "\\d3d8.dll");
    HMODULE module = LoadLibraryA(path);
    using CreateFn = IDirect3D8*(WINAPI*)(UINT);
    CreateFn create = module ? reinterpret_cast<CreateFn>(reinterpret_cast<void (*)()>(
                                   GetProcAddress(module, "Direct3DCreate8")))
                             : nullptr;
    IDirect3D8* d3d = create ? create(D3D_SDK_VERSION) : nullptr;
    if (d3d == nullptr) {
        std::fprintf(stderr, "no Direct3D 8\n");
        return 3;
    }

    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "HzwkD3DBare";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, "HzwkD3DBare", "d3d_bare", WS_POPUP | WS_VISIBLE, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                                nullptr, instance, nullptr);

    D3DPRESENT_PARAMETERS pp = {};
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferFormat = format;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_FLIP;
    pp.hDeviceWindow = hwnd;
    pp.Windowed = FALSE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    pp.FullScreen_RefreshRateInHz = 0;  // the driver's default rate for the mode
    pp.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    IDirect3DDevice8* device = nullptr;
    HRESULT hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hwnd,
                                   D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device);
    if (FAILED(hr)) {
        std::fprintf(stderr, "CreateDevice failed 0x%08lX\n", static_cast<unsigned long>(hr));
        d3d->Release();
        return 4;
    }
    unsigned long frames = 0;
    const DWORD start = GetTickCount();
    DWORD elapsed = 0;
    while (elapsed < runMs) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        device->BeginScene();
        device->EndScene();
        if (FAILED(device->Present(nullptr, nullptr, nullptr, nullptr))) break;
        ++frames;
        MSG msg;  // the same one pump a frame as the test, so only the drawing differs
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        elapsed = GetTickCount() - start;
    }
    device->Release();
    d3d->Release();
    DestroyWindow(hwnd);
    std::printf("bare frames=%lu ms=%lu fps=%.1f\n", frames, static_cast<unsigned long>(elapsed),
                elapsed ? frames * 1000.0 / elapsed : 0.0);
    return 0;
}
