#include "os/win32_os.h"

#include <windows.h>
#include <shellapi.h>
#include <winver.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "core/text.h"

namespace hzwk {

namespace {

// The display-mode record as Windows 2000 knows it: DEVMODEA up to dmDisplayFrequency.
constexpr DWORD kDevModeSize = offsetof(DEVMODEA, dmDisplayFrequency) + sizeof(DWORD);
static_assert(kDevModeSize == 124, "DEVMODEA layout up to dmDisplayFrequency is 124 bytes");
static_assert(sizeof(VS_FIXEDFILEINFO) == 52, "VS_FIXEDFILEINFO is 52 bytes");

constexpr UINT kHelpDisplayTopic = 0;  // HH_DISPLAY_TOPIC
using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// Text a ...A call wrote into `buffer`: the characters before the first NUL.
std::string BeforeNul(const char* buffer, size_t size) {
    size_t n = 0;
    while (n < size && buffer[n] != '\0') ++n;
    return std::string(buffer, n);
}

std::string ModulePath() {
    // GetModuleFileNameA truncates silently; grow until the whole path fits.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::vector<char> buffer(size + 1, '\0');
        const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (n == 0) return std::string();
        if (n < size) return BeforeNul(buffer.data(), n);
    }
    return std::string();
}

bool WriteAll(HANDLE file, const std::string& contents) {
    size_t done = 0;
    while (done < contents.size()) {
        const size_t left = contents.size() - done;
        const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file, contents.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

bool WriteFileBytes(const std::string& path, const std::string& contents, bool append) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    if (append && SetFilePointer(file, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR) {
        ok = false;
    }
    ok = ok && WriteAll(file, contents);
    return CloseHandle(file) && ok;
}

// A plain file at exactly `path`: folders, hidden and system files do not count.
bool PlainFileExists(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    const DWORD skip = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    bool any = false;
    do {
        if ((found.dwFileAttributes & skip) == 0) any = true;
    } while (!any && FindNextFileA(search, &found));
    FindClose(search);
    return any;
}

}  // namespace

std::string Win32Os::SystemDirectory() {
    char buffer[260 + 1] = {};
    const UINT n = GetSystemDirectoryA(buffer, 260);
    if (n == 0 || n >= 260) return std::string();  // failed, or the buffer was too small
    return BeforeNul(buffer, 260);
}

bool Win32Os::ReadFileVersion(const std::string& path, FixedFileVersion& out) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return false;
    void* root = nullptr;
    UINT rootSize = 0;
    char rootBlock[] = "\\";
    if (!VerQueryValueA(block.data(), rootBlock, &root, &rootSize) || root == nullptr ||
        rootSize < sizeof(VS_FIXEDFILEINFO)) {
        return false;
    }
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, root, sizeof info);
    out.ms = info.dwFileVersionMS;
    out.ls = info.dwFileVersionLS;
    return true;
}

std::vector<DisplayMode> Win32Os::DisplayModes() {
    std::vector<DisplayMode> modes;
    // One record, zeroed once and handed back as each call left it.
    DEVMODEA record;
    std::memset(&record, 0, sizeof record);
    record.dmSize = static_cast<WORD>(kDevModeSize);
    for (DWORD n = 0; n < kMaxDisplayModes; ++n) {
        if (!EnumDisplaySettingsA(nullptr, n, &record)) break;
        DisplayMode mode;
        mode.width = record.dmPelsWidth;
        mode.height = record.dmPelsHeight;
        mode.bitsPerPixel = record.dmBitsPerPel;
        mode.refreshHz = record.dmDisplayFrequency;
        modes.push_back(mode);
    }
    return modes;
}

std::vector<DisplayAdapter> Win32Os::DisplayAdapters() {
    std::vector<DisplayAdapter> adapters;
    auto device = [](const char* parent, DWORD n, DISPLAY_DEVICEA& out) {
        std::memset(&out, 0, sizeof out);
        out.cb = sizeof out;
        return EnumDisplayDevicesA(parent, n, &out, 0) != 0;
    };
    DISPLAY_DEVICEA found;
    for (DWORD i = 0; i < kMaxDisplayDevices && device(nullptr, i, found); ++i) {
        DisplayAdapter adapter;
        adapter.deviceKey = BeforeNul(found.DeviceKey, sizeof found.DeviceKey);
        const std::string name = BeforeNul(found.DeviceName, sizeof found.DeviceName);
        // Asked with the adapter's name, the same call lists the monitors attached to it.
        for (DWORD j = 0; j < kMaxDisplayDevices && device(name.c_str(), j, found); ++j)
            adapter.monitorIds.push_back(BeforeNul(found.DeviceID, sizeof found.DeviceID));
        adapters.push_back(adapter);
    }
    return adapters;
}

std::string Win32Os::ProgramFolder() {
    const std::string path = ModulePath();
    const size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos) return std::string();
    // At the root of a drive the folder keeps its backslash ("C:\"), as Windows names it.
    if (slash == 2 && path[1] == ':') return path.substr(0, 3);
    return path.substr(0, slash);
}

std::string Win32Os::LocalDateText() {
    char buffer[256] = {};
    const int n = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer,
                                 sizeof buffer);
    return n > 0 ? BeforeNul(buffer, sizeof buffer) : std::string();
}

std::string Win32Os::LocalTimeText() {
    char buffer[256] = {};
    const int n = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer, sizeof buffer);
    return n > 0 ? BeforeNul(buffer, sizeof buffer) : std::string();
}

bool Win32Os::WriteDebugFile(const std::string& contents) {
    return WriteFileBytes(FileInFolder(ProgramFolder(), "debug.txt"), contents, false);
}

bool Win32Os::AppendDebugFile(const std::string& contents) {
    return WriteFileBytes(FileInFolder(ProgramFolder(), "debug.txt"), contents, true);
}

void Win32Os::Beep() { MessageBeep(MB_OK); }

void Win32Os::OpenAddress(const std::string& address) {
    // shell32 is loaded when first needed: linking it would load it (and much of the shell)
    // in every /startup run at logon too.
    using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    if (shellExecute_ == nullptr) {
        const std::string system = SystemDirectory();
        if (system.empty()) return;
        HMODULE shell = LoadLibraryA((system + "\\shell32.dll").c_str());
        if (shell == nullptr) return;
        shellExecute_ = reinterpret_cast<void (*)()>(GetProcAddress(shell, "ShellExecuteA"));
        if (shellExecute_ == nullptr) return;
    }
    reinterpret_cast<ShellExecuteFn>(shellExecute_)(static_cast<HWND>(owner_), "open", address.c_str(),
                                                    nullptr, nullptr, SW_SHOWNORMAL);
}

bool Win32Os::ShowHelp(const std::string& path) {
    if (!PlainFileExists(path)) return false;
    if (htmlHelp_ == nullptr) {
        if (helpLibrary_ == nullptr) {
            const std::string system = SystemDirectory();
            if (system.empty()) return false;
            helpLibrary_ = LoadLibraryA((system + "\\hhctrl.ocx").c_str());
            if (helpLibrary_ == nullptr) return false;
        }
        // Through a plain function pointer, so the later cast to the real type is not
        // taken for a mismatch (-Wcast-function-type).
        htmlHelp_ = reinterpret_cast<void (*)()>(
            GetProcAddress(static_cast<HMODULE>(helpLibrary_), "HtmlHelpA"));
        if (htmlHelp_ == nullptr) return false;
    }
    const auto htmlHelp = reinterpret_cast<HtmlHelpFn>(htmlHelp_);
    return htmlHelp(nullptr, path.c_str(), kHelpDisplayTopic, 0) != nullptr;
}

uint32_t Win32Os::TickCount() { return GetTickCount(); }

ClockTime Win32Os::LocalClock() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return ClockTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

bool Win32Os::CreateNewFile(const std::string& folder, const std::string& name, const std::string& bytes) {
    const std::string path = FileInFolder(folder, name);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool written = WriteAll(file, bytes);
    if (CloseHandle(file) && written) return true;
    DeleteFileA(path.c_str());  // the file is ours: made just now
    return false;
}

std::vector<std::string> Win32Os::FileNames(const std::string& folder, const std::string& prefix) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(FileInFolder(folder, prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = BeforeNul(found.cFileName, sizeof found.cFileName);
        // The pattern also matches short 8.3 names; only the long name counts.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && SameNoCase(name.substr(0, prefix.size()), prefix))
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

bool Win32Os::ReadSmallFile(const std::string& folder, const std::string& name, size_t maxBytes,
                            std::string* bytes) {
    // A folder cannot be opened so (that takes FILE_FLAG_BACKUP_SEMANTICS).
    HANDLE file = CreateFileA(FileInFolder(folder, name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    const DWORD size = GetFileSize(file, &high);
    bool ok = size != INVALID_FILE_SIZE && high == 0 && size <= maxBytes;
    std::string text(ok ? size : 0, '\0');
    DWORD read = 0;
    ok = ok && (size == 0 || (ReadFile(file, &text[0], size, &read, nullptr) && read == size));
    CloseHandle(file);
    if (ok) *bytes = text;
    return ok;
}

bool Win32Os::RemoveFile(const std::string& folder, const std::string& name) {
    return DeleteFileA(FileInFolder(folder, name).c_str()) != 0;
}

std::string Win32Os::AppDataFolder() {
    std::vector<char> buffer(MAX_PATH + 1, '\0');
    DWORD n = GetEnvironmentVariableA("APPDATA", buffer.data(), MAX_PATH);
    if (n >= MAX_PATH && n <= 32768) {  // did not fit: n is the size it needs
        buffer.assign(n + 1, '\0');
        n = GetEnvironmentVariableA("APPDATA", buffer.data(), n);
    }
    if (n == 0 || n >= buffer.size()) return std::string();
    std::string folder = BeforeNul(buffer.data(), n);
    // "C:\" keeps its backslash; any other folder loses a trailing one.
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

std::string Win32Os::TempFolder() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathA(MAX_PATH, path);
    if (n == 0 || n > MAX_PATH) return std::string();
    // Often given in the short form (C:\DOCUME~1\...), which the program's path does not use.
    char longer[MAX_PATH + 1] = {};
    const DWORD m = GetLongPathNameA(path, longer, MAX_PATH);
    std::string folder = m > 0 && m < MAX_PATH ? BeforeNul(longer, sizeof longer) : BeforeNul(path, sizeof path);
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

bool Win32Os::MakeFolder(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace hzwk
