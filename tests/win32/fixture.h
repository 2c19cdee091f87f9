// What every window test shares: a Windows 2000 machine with a GeForce4 on the 41.09 driver in
// the Wine prefix's own registry, message boxes answered from a script, display modes of our
// choosing, and the ways a user reaches a window (a click, a key, a menu command).
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <functional>
#include <iterator>
#include <utility>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "os/win32_os.h"
#include "registry/registry_rules.h"
#include "registry/settings.h"
#include "registry/win32_registry_backend.h"
#include "ui/main_window_win32.h"
#include "ui/control_ids.h"
#include "win/message_box_prompt_win32.h"

namespace hzwk::test {

// Every box must be the next one the script names ("" takes any text); no box may be left over.
// A `real` box is shown by the program's own MessageBoxPrompt, for the test to answer `answer`.
struct ScriptedPrompt : win::MessageBoxPrompt {
    struct Box { std::string text; Answer answer; bool real = false; };
    void Expect(std::vector<Box> boxes) { script_.insert(script_.end(), boxes.begin(), boxes.end()); }
    Answer Show(const std::string& text, Icon icon, Buttons buttons) override {
        if (script_.empty())
            return ADD_FAILURE() << "unexpected box: " << text, buttons == Buttons::Ok ? Answer::Ok : Answer::No;
        Box box = script_.front();
        script_.pop_front();
        EXPECT_TRUE(box.text.empty() || text == box.text) << text << "\ninstead of " << box.text;
        if (box.real) { EXPECT_EQ(MessageBoxPrompt::Show(text, icon, buttons), box.answer); }
        return box.answer;
    }
    void ExpectAllShown() { for (const Box& box : std::exchange(script_, {})) ADD_FAILURE() << "box not shown: " << box.text; }
    std::deque<Box> script_;
};

// The real operating system, but with the display modes the test chose.
struct ModesOs final : Win32Os {
    std::vector<DisplayMode> DisplayModes() override { return {{640, 480, 32, 85}, {800, 600, 32, 75}, {1024, 768, 32, 70}}; }
};

inline constexpr char kDriverKey[] = "SYSTEM\\CurrentControlSet\\Services\\nv\\Device0";

// The program's main window, started as WinMain starts it, but without its message loop.
struct MainFixture : ::testing::Test {
    Win32RegistryBackend api;
    ApiRegistry registry{api};
    ModesOs os;
    ScriptedPrompt prompt;
    MainForm form{registry, os, prompt};
    win::MainWindow window{form, registry, os, prompt};
    HWND main = nullptr;

    // Windows 2000 with the 41.09 driver (not compressed: any rate, the calculator off).
    void SetUp() override {
        registry.SaveStringValue(reg::kWindowsVersionKey, reg::kCurrentVersion, "5.0");
        registry.SaveStringValue(kDriverKey, reg::kDeviceDescription, "NVIDIA GeForce4 Ti 4600");
        registry.SaveRawValue(kDriverKey, reg::kInstalledDisplayDrivers, {kRegMultiSz, std::string("nv4_disp\0", 10)});
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        ASSERT_TRUE(CopyFileA(self, (os.SystemDirectory() + "\\nv4_disp.dll").c_str(), FALSE) && win::LoadCommonControls());
        ASSERT_EQ(form.Load(""), StartupOutcome::ShowWindow);
        ASSERT_TRUE(window.Create(SW_SHOW));
        main = window.Handle();
        SetForegroundWindow(main);
    }
    void TearDown() override {
        prompt.ExpectAllShown();
        if (IsWindow(main)) DestroyWindow(main);
        MSG msg;  // the WM_QUIT that WM_DESTROY posts
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    HWND Item(int id) const { return GetDlgItem(main, id); }
    std::string Caption(int row) const { return win::GetText(Item(IDC_ROW_CAPTION + row)); }
    void AdvancedOn() { prompt.Expect({{"", Answer::Ok}}), SendMessageA(Item(IDC_CHECK1), BM_CLICK, 0, 0); }
};

inline std::string Text(HWND control) { return win::GetText(control); }
inline std::string FileText(const std::string& path) { std::ifstream f(path, std::ios::binary); return {std::istreambuf_iterator<char>(f), {}}; }
inline void Click(HWND window, int id) { SendMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0); }
inline void Command(HWND window, int id) { SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

// A key pressed on `target`, through the program's own loop: dialog keys first.
inline void Key(HWND dialog, HWND target, WPARAM vk) {
    MSG msg{target, WM_KEYDOWN, vk, 1, static_cast<DWORD>(GetMessageTime()), {}};
    if (win::ModelessDialogMessage(&msg) || IsDialogMessageA(dialog, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

// Runs `step` from inside whatever loop runs next (a modal window's, a test run's). The
// caller kills the returned timer once that loop is over, in case it never ran.
inline std::function<void()> g_step;  // one at a time
inline VOID CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (auto step = std::exchange(g_step, nullptr)) step();
}
inline UINT_PTR During(std::function<void()> step, UINT afterMs = 10) {
    g_step = std::move(step);
    return SetTimer(nullptr, 0, afterMs, &RunPending);
}
inline bool Ran(UINT_PTR timer) { return KillTimer(nullptr, timer), !std::exchange(g_step, nullptr); }

// A value as the registry holds it. Like Windows, Wine stores a string's NUL when the byte
// after the counted ones is NUL, so a string's one trailing NUL is dropped.
inline RegData Raw(const std::string& key, const std::string& name) {
    Win32RegistryBackend api;
    RawQuery q = ApiRegistry(api).QueryRaw(key, name, 8192);
    RegData out{q.found ? q.type : kRegNone, q.found ? q.data : ""};
    if (out.type == kRegSz && !out.bytes.empty() && out.bytes.back() == '\0') out.bytes.pop_back();
    return out;
}

}  // namespace hzwk::test
