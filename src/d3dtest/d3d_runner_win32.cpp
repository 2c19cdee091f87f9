#include "d3dtest/d3d_runner_win32.h"

#include <d3d8.h>

#include <cstring>
#include <string>

#include "d3dtest/d3d_text_win32.h"
#include "d3dtest/matrix.h"
#include "d3dtest/scene.h"
#include "d3dtest/d3d_titles.h"

namespace hzwk {

bool StopTest = false;

namespace {

static_assert(sizeof(Matrix) == sizeof(D3DMATRIX), "our matrices go to SetTransform as they are");

using Direct3DCreate8Fn = IDirect3D8*(WINAPI*)(UINT);

void LogFailure(const char* what, HRESULT hr) {
    // wsprintfA (user32, loaded by now) rather than snprintf, whose formatter the exe would carry.
    char line[160];
    wsprintfA(line, "Hertzwerk: Direct3D test: %s failed, 0x%08lX\n", what, static_cast<unsigned long>(hr));
    OutputDebugStringA(line);
}

// d3d8.dll from the system folder, never linked: a plain Windows 2000 has none and the rest
// of the program must still start. Found once, kept loaded.
Direct3DCreate8Fn FindDirect3DCreate8() {
    static Direct3DCreate8Fn create = nullptr;
    if (create != nullptr) return create;
    char dir[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryA(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    std::string path(dir, n);
    if (path.back() != '\\') path += '\\';
    path += "d3d8.dll";
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        LogFailure("LoadLibraryA(d3d8.dll)", HRESULT_FROM_WIN32(GetLastError()));
        return nullptr;
    }
    // Through void(*)() so the compiler accepts the function-pointer cast without warning.
    create = reinterpret_cast<Direct3DCreate8Fn>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "Direct3DCreate8")));
    if (create == nullptr) {
        LogFailure("GetProcAddress(Direct3DCreate8)", E_NOINTERFACE);
        FreeLibrary(module);
    }
    return create;
}

uint32_t Tick() { return GetTickCount(); }

const D3DMATRIX* AsD3D(const Matrix& m) { return reinterpret_cast<const D3DMATRIX*>(&m); }

RECT AsRect(const TextRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

HFONT CreateTestFont() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    // The font mapper falls back to a similar face where Trebuchet MS is not installed.
    return CreateFontA(-MulDiv(10, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, "Trebuchet MS");
}

// Handles every pending message once. A WM_QUIT ends the test and is posted again for
// the program's own loop.
void PumpPendingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            StopTest = true;
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

class Run {
public:
    Run(HWND window, const TestMode& mode, RunnerState& state, D3DRunReport& report)
        : window_(window), mode_(mode), state_(state), report_(report) {}
    ~Run() { TearDown(); }

    RunOutcome Execute() {
        Direct3DCreate8Fn create = FindDirect3DCreate8();
        if (create != nullptr) d3d_ = create(D3D_SDK_VERSION);
        if (d3d_ == nullptr) {
            report_.noDirect3D = true;
            return RunOutcome::NoDirect3D;
        }
        if (!SetUp()) return RunOutcome::Failed;
        const RunOutcome outcome = Loop();
        TearDown();
        return outcome;
    }

private:
    bool SetUp() {
        D3DPRESENT_PARAMETERS pp = {};
        const PresentChoice present = ChoosePresentation(mode_.vsync);
        pp.BackBufferWidth = static_cast<UINT>(mode_.width);
        pp.BackBufferHeight = static_cast<UINT>(mode_.height);
        pp.BackBufferFormat = static_cast<D3DFORMAT>(mode_.format);
        pp.BackBufferCount = 1;
        pp.MultiSampleType = D3DMULTISAMPLE_NONE;
        pp.SwapEffect = static_cast<D3DSWAPEFFECT>(present.swapEffect);
        pp.hDeviceWindow = window_;
        pp.Windowed = FALSE;
        pp.EnableAutoDepthStencil = TRUE;
        pp.AutoDepthStencilFormat = D3DFMT_D16;
        pp.Flags = 0;
        pp.FullScreen_RefreshRateInHz = 0;  // the driver's default rate for the mode
        pp.FullScreen_PresentationInterval = present.presentationInterval;
        HRESULT hr = d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                                        D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device_);
        if (FAILED(hr)) {
            device_ = nullptr;
            LogFailure("CreateDevice", hr);
            return false;
        }
        D3DDISPLAYMODE shown = {};
        if (SUCCEEDED(device_->GetDisplayMode(&shown))) report_.refreshHz = shown.RefreshRate;

        device_->SetVertexShader(kSceneFvf);
        device_->SetRenderState(D3DRS_LIGHTING, FALSE);
        device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);

        D3DXMatrixIdentity(&world_);
        device_->SetTransform(D3DTS_WORLD, AsD3D(world_));
        D3DXMatrixLookAtLH(&view_, &kEye, &kLookAt, &kUp);
        device_->SetTransform(D3DTS_VIEW, AsD3D(view_));
        D3DXMatrixPerspectiveFovLH(&projection_, kFovY, kAspect, kNearPlane, kFarPlane);
        device_->SetTransform(D3DTS_PROJECTION, AsD3D(projection_));

        if (state_.font == nullptr) state_.font = CreateTestFont();
        if (state_.font == nullptr) {
            LogFailure("CreateFontA", E_FAIL);
            return false;
        }
        hr = text_.Create(device_, state_.font);
        if (FAILED(hr)) {
            LogFailure("text font", hr);
            return false;
        }

        const VertexArray vertices = BuildSquare();
        hr = device_->CreateVertexBuffer(kVertexBufferBytes, 0, kSceneFvf, D3DPOOL_DEFAULT, &buffer_);
        if (FAILED(hr)) {
            buffer_ = nullptr;
            LogFailure("CreateVertexBuffer", hr);
            return false;
        }
        BYTE* data = nullptr;
        hr = buffer_->Lock(0, kVertexBufferBytes, &data, 0);
        if (FAILED(hr) || data == nullptr) {
            LogFailure("vertex buffer Lock", hr);
            return false;
        }
        std::memcpy(data, vertices.data(), kVertexBufferBytes);
        buffer_->Unlock();

        StopTest = false;
        return true;
    }

    // Finished on a click; DeviceLost when another program took the screen; Failed when
    // drawing failed otherwise.
    RunOutcome Loop() {
        FrameState& frame = state_.frame;
        const DWORD start = GetTickCount();
        RECT captionRect = AsRect(kCaptionRect);
        RECT hintRect = AsRect(kHintRect);
        RunOutcome outcome = RunOutcome::Finished;
        while (!StopTest) {
            HRESULT hr = device_->TestCooperativeLevel();
            if (FAILED(hr)) {
                LogFailure("TestCooperativeLevel", hr);
                outcome = EndedBy(hr);
                break;
            }
            frame.AdvanceAngle();
            D3DXMatrixIdentity(&world_);
            D3DXMatrixIdentity(&rotation_);
            D3DXMatrixRotationY(&rotation_, frame.AngleRadians());
            D3DXMatrixMultiply(&world_, &world_, &rotation_);
            device_->SetTransform(D3DTS_WORLD, AsD3D(world_));

            device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0);
            device_->BeginScene();
            device_->SetStreamSource(0, buffer_, sizeof(SceneVertex));
            device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
            const std::string caption = CaptionLine(frame.ShownFps(), mode_);
            text_.DrawText(caption.c_str(), captionRect, 0, kTextColour);
            text_.DrawText(kHintLine, hintRect, 0, kTextColour);
            device_->EndScene();
            hr = device_->Present(nullptr, nullptr, nullptr, nullptr);
            if (FAILED(hr)) {
                LogFailure("Present", hr);
                outcome = EndedBy(hr);
                break;
            }
            ++report_.framesDrawn;

            frame.EndFrame(Tick);
            PumpPendingMessages();
        }
        report_.elapsedMs = GetTickCount() - start;
        report_.shownFps = frame.ShownFps();
        return outcome;
    }

    // A lost device means the user switched away from a mode that worked: not the mode's fault.
    static RunOutcome EndedBy(HRESULT hr) {
        return hr == D3DERR_DEVICELOST || hr == D3DERR_DEVICENOTRESET ? RunOutcome::DeviceLost
                                                                      : RunOutcome::Failed;
    }

    // Text font, device, Direct3D object, vertex buffer: in this order. The GDI font stays.
    void TearDown() {
        text_.Release();
        if (device_ != nullptr) device_->Release();
        device_ = nullptr;
        if (d3d_ != nullptr) d3d_->Release();
        d3d_ = nullptr;
        if (buffer_ != nullptr) buffer_->Release();
        buffer_ = nullptr;
    }

    HWND window_;
    const TestMode& mode_;
    RunnerState& state_;
    D3DRunReport& report_;
    IDirect3D8* d3d_ = nullptr;
    IDirect3DDevice8* device_ = nullptr;
    IDirect3DVertexBuffer8* buffer_ = nullptr;
    D3DTextFont text_;
    Matrix world_ = {}, rotation_ = {}, view_ = {}, projection_ = {};
};

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_LBUTTONDOWN:
        StopTest = true;
        return 0;
    case WM_CLOSE:  // Alt+F4 ends the test like a click; the runner closes the window
        StopTest = true;
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

const char kTestWindowClass[] = "HertzwerkD3DTest";

}  // namespace

bool Direct3D8Available() { return FindDirect3DCreate8() != nullptr; }

D3DRunReport NewRunReport(const TestMode& mode) {
    D3DRunReport report;
    report.width = static_cast<uint32_t>(mode.width);
    report.height = static_cast<uint32_t>(mode.height);
    report.depthBits = mode.depthBits;
    report.vsync = mode.vsync;
    return report;
}

RunOutcome RunModeTest(HWND testWindow, const TestMode& mode, RunnerState& state, D3DRunReport& report) {
    report = NewRunReport(mode);
    Run run(testWindow, mode, state, report);
    const RunOutcome outcome = run.Execute();
    report.ran = outcome == RunOutcome::Finished;
    return outcome;
}

HWND CreateTestWindow(HINSTANCE instance, HWND owner) {
    WNDCLASSA wc = {};
    if (!GetClassInfoA(instance, kTestWindowClass, &wc)) {
        wc.lpfnWndProc = TestWindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = kTestWindowClass;
        if (RegisterClassA(&wc) == 0) return nullptr;
    }
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, kTestWindowClass, HZWK_TITLE_D3D_TEST, WS_POPUP, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), owner,
                                nullptr, instance, nullptr);
    if (hwnd != nullptr) {
        ShowWindow(hwnd, SW_SHOW);
        UpdateWindow(hwnd);
        SetForegroundWindow(hwnd);
    }
    return hwnd;
}

}  // namespace hzwk
