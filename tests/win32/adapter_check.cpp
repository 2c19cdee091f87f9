// hzwkadaptercheck: the Win32 registry and Os adapters against the system's own advapi32,
// kernel32 and version.dll. The native unit tests see the registry rules only through the
// in-memory model; what only the real calls can show (handles, sizes, types, ANSI
// conversion, files) is checked here. One line per check, then "N passed, M failed";
// exit status 1 on any failure.
//
//   hzwkadaptercheck [--folder WINPATH] [--version FILE A.B.C.D] [--mode WxH@HZ]
//
// --folder: the folder this exe was started from, as the caller knows it (else it is taken
//           from GetModuleFileNameA). debug.txt is written there and put back as it was.
// --version: a file whose version resource holds exactly this version.
// --mode:   a mode the display must list.
//
// Works under the scratch key HKLM\SOFTWARE\HZWK-ADAPTER-CHECK, removed at the end.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "os/win32_os.h"
#include "registry/api_registry.h"
#include "registry/win32_reg_api.h"

namespace {

using hzwk::DisplayMode;
using hzwk::FixedFileVersion;
using hzwk::RawQuery;
using hzwk::Win32Os;
using hzwk::ApiRegistry;

int g_passed = 0;
int g_failed = 0;

// Bytes as a reader can follow them: printable ASCII as is, the rest as \xNN, cut short.
std::string Show(const std::string& bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (out.size() > 70) return out + "...(" + std::to_string(bytes.size()) + " bytes)";
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return '"' + out + '"';
}

void Check(bool ok, const std::string& what, const std::string& detail = std::string()) {
    if (ok) {
        ++g_passed;
        std::printf("ok    %s\n", what.c_str());
    } else {
        ++g_failed;
        std::printf("FAIL  %s%s%s\n", what.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    }
    std::fflush(stdout);
}

void CheckText(const std::string& what, const std::string& actual, const std::string& expected) {
    Check(actual == expected, what, "got " + Show(actual) + ", expected " + Show(expected));
}

void CheckNumber(const std::string& what, long long actual, long long expected) {
    Check(actual == expected, what,
          "got " + std::to_string(actual) + ", expected " + std::to_string(expected));
}

// ---- the registry as the checks see it: straight advapi32, not the adapter ---------------

const std::string kScratch = "SOFTWARE\\HZWK-ADAPTER-CHECK";
const std::string kNever = kScratch + "\\Never";  // must never come into being
const std::string kMissing = kScratch + "\\Missing";
const std::string kParent = kMissing + "\\Parent";
const std::string kLeaf = kParent + "\\Leaf";

bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool RawSet(const std::string& name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kScratch.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG rc = RegSetValueExA(key, name.c_str(), 0, type,
                                   reinterpret_cast<const BYTE*>(bytes.data()),
                                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

struct Stored {
    LONG rc = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::string bytes;
};

Stored RawGet(const std::string& path, const std::string& name) {
    Stored s;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return s;
    DWORD size = 0;
    s.rc = RegQueryValueExA(key, name.c_str(), nullptr, &s.type, nullptr, &size);
    if (s.rc == ERROR_SUCCESS && size > 0) {
        std::vector<BYTE> buffer(size);
        s.rc = RegQueryValueExA(key, name.c_str(), nullptr, &s.type, buffer.data(), &size);
        s.bytes.assign(reinterpret_cast<const char*>(buffer.data()), size);
    }
    RegCloseKey(key);
    return s;
}

DWORD ValueCount(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD values = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        values = 0;
    }
    RegCloseKey(key);
    return values;
}

// RegDeleteKeyA removes only keys without subkeys: leaves first.
void RemoveScratch() {
    for (const std::string& path : {kLeaf, kParent, kMissing, kNever, kScratch})
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
}

// A literal with every byte it holds, NULs included (the last, implied NUL excluded).
template <size_t N>
std::string Bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

std::string Le32(uint32_t n) {
    const char b[4] = {static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                       static_cast<char>(n >> 24)};
    return std::string(b, 4);
}

// A REG_MULTI_SZ of exactly `size` bytes: one entry and its two closing NULs.
std::string MultiOfSize(size_t size) { return std::string(size - 2, 'm') + Bytes("\0\0"); }

void CheckStrings(ApiRegistry& reg) {
    const std::string text = "Hertzwerk 2.1a";
    const bool saved = reg.SaveStringValue(kScratch, "Text", text);
    Check(saved, "SaveStringValue on a new key returns true");
    CheckText("GetStringValue reads back what SaveStringValue stored",
              reg.GetStringValue(kScratch, "Text", "default"), text);
    // RegSetValueExA itself counts a NUL that directly follows a REG_SZ's counted characters
    // (NT does, and so does Wine): the stored size then cannot tell whether the caller counted
    // it. A probe shows what this system does; a text whose last character is a NUL is never
    // extended, so its stored size shows exactly what the adapter passed.
    const std::string probe = "abc";  // a NUL follows its three characters in memory
    const bool systemAddsNul = RawSet("Probe", REG_SZ, probe) && RawGet(kScratch, "Probe").bytes.size() == 4;
    const std::string expected = systemAddsNul ? text + '\0' : text;
    const Stored stored = RawGet(kScratch, "Text");
    Check(stored.rc == ERROR_SUCCESS && stored.type == REG_SZ && stored.bytes == expected,
          std::string("SaveStringValue stores REG_SZ with the characters only") +
              (systemAddsNul ? " (the system adds the NUL itself)" : ""),
          "type " + std::to_string(stored.type) + ", data " + Show(stored.bytes) + ", size " +
              std::to_string(stored.bytes.size()) + " for " + std::to_string(text.size()) +
              " characters");
    const std::string endsInNul = Bytes("abc\0");
    const bool savedNul = reg.SaveStringValue(kScratch, "Ends in NUL", endsInNul);
    const Stored nul = RawGet(kScratch, "Ends in NUL");
    Check(savedNul && nul.rc == ERROR_SUCCESS && nul.bytes == endsInNul,
          "SaveStringValue passes the character count as the size (4 characters ending in NUL store 4 bytes)",
          "data " + Show(nul.bytes) + ", size " + std::to_string(nul.bytes.size()));

    std::string longText(70000, ' ');
    for (size_t i = 0; i < longText.size(); ++i) longText[i] = static_cast<char>('a' + i % 26);
    Check(reg.SaveStringValue(kScratch, "Long", longText) &&
              reg.GetStringValue(kScratch, "Long", "default") == longText,
          "a 70000-character text goes in and comes back whole");

    Check(reg.SaveStringValue(kScratch, "Empty", ""), "SaveStringValue of an empty text returns true");
    CheckText("an empty REG_SZ reads as empty, not as the default",
              reg.GetStringValue(kScratch, "Empty", "default"), "");
    const Stored empty = RawGet(kScratch, "Empty");
    Check(empty.rc == ERROR_SUCCESS && empty.type == REG_SZ && empty.bytes.empty(),
          "the empty text is stored as REG_SZ of size 0",
          "type " + std::to_string(empty.type) + ", data " + Show(empty.bytes));

    // Values as other programs write them, through RegSetValueExA.
    struct Case {
        const char* what;
        DWORD type;
        std::string bytes;
        const char* expected;
    };
    const Case cases[] = {
        {"a REG_SZ stored with its NUL reads without it", REG_SZ, Bytes("nv4_disp\0"), "nv4_disp"},
        {"a REG_SZ reads up to its first NUL", REG_SZ, Bytes("5.1\0junk"), "5.1"},
        {"REG_EXPAND_SZ gives the default", REG_EXPAND_SZ, Bytes("%SystemRoot%\0"), "default"},
        {"REG_MULTI_SZ gives the default", REG_MULTI_SZ, Bytes("nv4_disp\0\0"), "default"},
        {"REG_BINARY gives the default", REG_BINARY, "text", "default"},
        {"REG_DWORD gives the default", REG_DWORD, Le32(1), "default"},
    };
    for (const Case& c : cases) {
        const std::string name = std::string("Str ") + c.what;
        if (!RawSet(name, c.type, c.bytes)) {
            Check(false, std::string("GetStringValue: ") + c.what, "could not store the value");
            continue;
        }
        CheckText(std::string("GetStringValue: ") + c.what, reg.GetStringValue(kScratch, name, "default"),
                  c.expected);
    }
    CheckText("GetStringValue: a missing value gives the default",
              reg.GetStringValue(kScratch, "No such value", "default"), "default");
    CheckText("GetStringValue: a missing key gives the default",
              reg.GetStringValue(kNever, "Text", "default"), "default");
}

void CheckDwords(ApiRegistry& reg) {
    const int32_t numbers[] = {0, 1, 2, -1, -4109, 0x12345678, INT32_MIN, INT32_MAX};
    std::string wrong;
    for (int32_t n : numbers) {
        const std::string name = "Dword " + std::to_string(n);
        if (!reg.SaveDwordValue(kScratch, name, n)) {
            wrong += " " + std::to_string(n) + ": save returned false;";
            continue;
        }
        const int32_t back = reg.GetDwordValue(kScratch, name, -77);
        if (back != n) wrong += " " + std::to_string(n) + " read as " + std::to_string(back) + ";";
    }
    Check(wrong.empty(), "SaveDwordValue returns true and GetDwordValue reads back 0, 1, 2, -1, "
                         "-4109, 0x12345678, INT32_MIN, INT32_MAX", wrong);
    const Stored stored = RawGet(kScratch, "Dword " + std::to_string(0x12345678));
    Check(stored.rc == ERROR_SUCCESS && stored.type == REG_DWORD && stored.bytes == Le32(0x12345678),
          "SaveDwordValue stores REG_DWORD, 4 bytes, low byte first",
          "type " + std::to_string(stored.type) + ", data " + Show(stored.bytes));

    struct Case {
        const char* what;
        DWORD type;
        std::string bytes;
        int32_t expected;
    };
    const Case cases[] = {
        {"a REG_DWORD written by another program", REG_DWORD, Le32(0xFFFFEFF3u), -4109},
        {"a 4-byte REG_BINARY gives the default", REG_BINARY, Le32(1), -77},
        {"an 8-byte REG_DWORD gives the default", REG_DWORD, Le32(1) + Le32(0), -77},
        {"an 8-byte REG_QWORD gives the default", REG_QWORD, Le32(1) + Le32(0), -77},
        {"a 3-byte REG_DWORD is its bytes, low byte first", REG_DWORD, Bytes("\1\2\3"), 0x030201},
        {"a REG_SZ \"1\" gives the default", REG_SZ, Bytes("1\0"), -77},
    };
    for (const Case& c : cases) {
        const std::string name = std::string("Num ") + c.what;
        if (!RawSet(name, c.type, c.bytes)) {
            Check(false, std::string("GetDwordValue: ") + c.what, "could not store the value");
            continue;
        }
        CheckNumber(std::string("GetDwordValue: ") + c.what, reg.GetDwordValue(kScratch, name, -77),
                    c.expected);
    }
    CheckNumber("GetDwordValue: a missing value gives the default",
                reg.GetDwordValue(kScratch, "No such value", -77), -77);
    CheckNumber("GetDwordValue: a missing key gives the default",
                reg.GetDwordValue(kNever, "LoadOnStartup", -77), -77);
}

void CheckDeleteAndCreate(ApiRegistry& reg) {
    RawSet("Doomed", REG_DWORD, Le32(1));
    const DWORD before = ValueCount(kScratch);
    const bool deleted = reg.DeleteRegValue(kScratch, "Doomed");
    Check(deleted && RawGet(kScratch, "Doomed").rc == ERROR_FILE_NOT_FOUND &&
              ValueCount(kScratch) == before - 1,
          "DeleteRegValue removes that one value and returns true");

    const DWORD count = ValueCount(kScratch);
    const bool missingValue = reg.DeleteRegValue(kScratch, "Doomed");
    Check(!missingValue && ValueCount(kScratch) == count,
          "DeleteRegValue on a missing value returns false and leaves the key's values alone");
    const bool missingKey = reg.DeleteRegValue(kNever, "LoadOnStartup");
    Check(!missingKey && !KeyExists(kNever),
          "DeleteRegValue on a missing key returns false and creates no key");

    Check(!KeyExists(kMissing), "(set-up) the deep key's parents do not exist yet");
    const bool saved = reg.SaveStringValue(kLeaf, "ResW1", "800");
    Check(saved && KeyExists(kMissing) && KeyExists(kParent) &&
              reg.GetStringValue(kLeaf, "ResW1", "default") == "800",
          "SaveStringValue on a missing key creates it and its missing parents");
}

void CheckRawQueries(ApiRegistry& reg) {
    const std::string one = Bytes("nv4_disp\0\0");
    const std::string two = Bytes("nv4_disp\0nv4\0\0");
    RawSet("Raw one", REG_MULTI_SZ, one);
    RawSet("Raw two", REG_MULTI_SZ, two);
    RawSet("Raw 255", REG_MULTI_SZ, MultiOfSize(255));
    RawSet("Raw 256", REG_MULTI_SZ, MultiOfSize(256));
    RawSet("Raw 300", REG_MULTI_SZ, MultiOfSize(300));

    struct Case {
        const char* what;
        std::string key;
        const char* name;
        uint32_t buffer;
        bool opened, found, tooLarge;
        uint32_t size;
        std::string data;  // compared only when found
    };
    const Case cases[] = {
        {"the single-entry multi-string", kScratch, "Raw one", 255, true, true, false, 10, one},
        {"a two-entry multi-string", kScratch, "Raw two", 255, true, true, false, 14, two},
        {"a multi-string of exactly 255 bytes", kScratch, "Raw 255", 255, true, true, false, 255,
         MultiOfSize(255)},
        {"a multi-string of 256 bytes", kScratch, "Raw 256", 255, true, false, true, 256, ""},
        {"a multi-string of 300 bytes", kScratch, "Raw 300", 255, true, false, true, 300, ""},
        {"a zero-byte buffer", kScratch, "Raw one", 0, true, false, true, 10, ""},
        {"a missing value", kScratch, "No such value", 255, true, false, false, 0, ""},
        {"a missing key", kNever, "InstalledDisplayDrivers", 255, false, false, false, 0, ""},
    };
    for (const Case& c : cases) {
        const RawQuery q = reg.QueryRaw(c.key, c.name, c.buffer);
        bool ok = q.keyOpened == c.opened && q.found == c.found && q.tooLarge == c.tooLarge &&
                  q.data.size() <= c.buffer;
        if (c.found) ok = ok && q.type == REG_MULTI_SZ && q.size == c.size && q.data == c.data;
        if (c.tooLarge) ok = ok && q.size == c.size && q.data.empty();
        char detail[160];
        std::snprintf(detail, sizeof detail, "keyOpened %d found %d tooLarge %d type %u size %u data ",
                      q.keyOpened, q.found, q.tooLarge, static_cast<unsigned>(q.type),
                      static_cast<unsigned>(q.size));
        Check(ok, std::string("QueryRaw (") + std::to_string(c.buffer) + " bytes): " + c.what,
              detail + Show(q.data));
    }
}

// Every operation closes its key. Windows and Wine hand out the lowest (or last) freed slot
// of the handle table, so a handle made after a hundred rounds of all operations lands where
// one made before did; each round that leaked a key would push it further up. (Wine's
// GetProcessHandleCount always answers 0, so counting cannot show it.)
uintptr_t ProbeHandle() {
    HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const uintptr_t value = reinterpret_cast<uintptr_t>(probe);
    if (probe != nullptr) CloseHandle(probe);
    return value;
}

void CheckHandles(ApiRegistry& reg) {
    auto round = [&reg](int i) {
        reg.SaveStringValue(kScratch, "Round", "x");
        reg.GetStringValue(kScratch, "Round", "");
        reg.SaveDwordValue(kScratch, "Round n", i);
        reg.GetDwordValue(kScratch, "Round n", 0);
        reg.DeleteRegValue(kScratch, "Round");
        reg.DeleteRegValue(kNever, "Round");
        reg.QueryRaw(kScratch, "Raw one", 255);
        reg.GetStringValue(kNever, "Round", "");
    };
    round(0);  // the system opens its own root keys once
    const uintptr_t before = ProbeHandle();
    for (int i = 0; i < 100; ++i) round(i);
    const uintptr_t after = ProbeHandle();
    Check(before != 0 && after <= before + 16 * sizeof(HANDLE),
          "no key handle outlives a call (800 operations)",
          "a new handle went from " + std::to_string(before) + " to " + std::to_string(after));
}

// ---- files ----------------------------------------------------------------------------

bool ReadWhole(const std::string& path, std::string& out) {
    out.clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0)
        out.append(buffer, got);
    CloseHandle(file);
    return ok;
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    return CloseHandle(file) && ok;
}

std::string ModulePath() {
    char buffer[MAX_PATH * 4] = {};
    const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer - 1);
    return std::string(buffer, n < sizeof buffer ? n : 0);
}

// Windows paths compare without regard to case; the paths here are plain ASCII.
std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool ParseVersion(const std::string& text, FixedFileVersion& out) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) != 4) return false;
    if (a > 0xFFFF || b > 0xFFFF || c > 0xFFFF || d > 0xFFFF) return false;
    out.ms = a << 16 | b;
    out.ls = c << 16 | d;
    return true;
}

std::string VersionText(const FixedFileVersion& v) {
    return std::to_string(v.ms >> 16) + "." + std::to_string(v.ms & 0xFFFF) + "." +
           std::to_string(v.ls >> 16) + "." + std::to_string(v.ls & 0xFFFF);
}

struct Options {
    std::string folder;
    std::string versionFile;
    std::string versionText;
    std::string mode;
    bool bad = false;
};

Options ParseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--folder" && i + 1 < argc) {
            o.folder = argv[++i];
        } else if (a == "--version" && i + 2 < argc) {
            o.versionFile = argv[++i];
            o.versionText = argv[++i];
        } else if (a == "--mode" && i + 1 < argc) {
            o.mode = argv[++i];
        } else {
            o.bad = true;
        }
    }
    return o;
}

void CheckFolders(Win32Os& os, const Options& options) {
    char buffer[MAX_PATH + 1] = {};
    const UINT n = GetSystemDirectoryA(buffer, MAX_PATH);
    std::string expected(buffer, n <= MAX_PATH ? n : 0);
    while (expected.size() > 3 && expected.back() == '\\') expected.pop_back();
    const std::string system = os.SystemDirectory();
    Check(!system.empty() && system == expected,
          "SystemDirectory() is GetSystemDirectoryA's folder without a trailing backslash",
          "got " + Show(system) + ", expected " + Show(expected));

    const std::string module = ModulePath();
    std::string folder = options.folder;
    if (folder.empty()) folder = module.substr(0, module.find_last_of('\\'));
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    const std::string program = os.ProgramFolder();
    const std::string exeName = module.substr(module.find_last_of('\\') + 1);
    Check(Lower(program) == Lower(folder) &&
              GetFileAttributesA((program + "\\" + exeName).c_str()) != INVALID_FILE_ATTRIBUTES,
          "ProgramFolder() is the exe's folder without a trailing separator",
          "got " + Show(program) + ", expected " + Show(folder));
}

void CheckDebugFile(Win32Os& os) {
    const std::string path = os.ProgramFolder() + "\\debug.txt";
    std::string saved;
    const bool hadFile = ReadWhole(path, saved);

    DeleteFileA(path.c_str());
    std::string file;
    const bool appended = os.AppendDebugFile("Added registry value: 1\r\n");
    Check(appended && ReadWhole(path, file) && file == "Added registry value: 1\r\n",
          "AppendDebugFile creates debug.txt when there is none", "file " + Show(file));

    // Line ends as given (CR LF, and a lone LF stays alone), a NUL byte and a high byte kept.
    const std::string report = Bytes("[12/31/2003][23:59:58]\r\nWindows version: 5.1\r\nlone\nLF \0NUL\r\n"
                                     "Card Description: NVIDIA GeForce4 Ti 4600\xE9\r\n");
    const std::string line = "Added registry value: {*}3 640 480 60 70 72 75 85=1;\r\n";
    const bool written = os.WriteDebugFile(report);
    Check(written && ReadWhole(path, file) && file == report,
          "WriteDebugFile replaces debug.txt with exactly the bytes given", "file " + Show(file));
    const bool appendedAgain = os.AppendDebugFile(line);
    Check(appendedAgain && ReadWhole(path, file) && file == report + line,
          "AppendDebugFile adds exactly the bytes given after the report", "file " + Show(file));
    const bool shorter = os.WriteDebugFile("short\r\n");
    Check(shorter && ReadWhole(path, file) && file == "short\r\n",
          "WriteDebugFile truncates a longer earlier file", "file " + Show(file));

    if (hadFile) {
        WriteWhole(path, saved);
    } else {
        DeleteFileA(path.c_str());
    }
}

void CheckVersions(Win32Os& os, const Options& options) {
    FixedFileVersion v;
    Check(!os.ReadFileVersion(ModulePath(), v), "ReadFileVersion is false on an exe without a version resource");
    Check(!os.ReadFileVersion(os.ProgramFolder() + "\\no such file.dll", v),
          "ReadFileVersion is false on a missing file");

    FixedFileVersion kernel;
    const bool read = os.ReadFileVersion(os.SystemDirectory() + "\\kernel32.dll", kernel);
    const uint32_t major = kernel.ms >> 16;
    Check(read && major >= 5 && major <= 99,
          "ReadFileVersion reads kernel32.dll's version (" + VersionText(kernel) + ")",
          read ? "implausible major version" : "returned false");

    if (!options.versionFile.empty()) {
        FixedFileVersion expected;
        FixedFileVersion got;
        const bool parsed = ParseVersion(options.versionText, expected);
        const bool ok = os.ReadFileVersion(options.versionFile, got);
        Check(parsed && ok && got.ms == expected.ms && got.ls == expected.ls,
              "ReadFileVersion reads " + options.versionText + " from " + options.versionFile,
              ok ? "got " + VersionText(got) : "returned false");
    }
}

void CheckDisplayModes(Win32Os& os, const Options& options) {
    const std::vector<DisplayMode> modes = os.DisplayModes();
    Check(!modes.empty(), "DisplayModes() lists modes");

    // The same list through a full-size record, made afresh for every mode number.
    std::vector<DisplayMode> direct;
    for (DWORD n = 0; n < Win32Os::kMaxDisplayModes; ++n) {
        DEVMODEA record;
        std::memset(&record, 0, sizeof record);
        record.dmSize = sizeof record;
        if (!EnumDisplaySettingsA(nullptr, n, &record)) break;
        DisplayMode m;
        m.width = record.dmPelsWidth;
        m.height = record.dmPelsHeight;
        m.bitsPerPixel = record.dmBitsPerPel;
        m.refreshHz = record.dmDisplayFrequency;
        direct.push_back(m);
    }
    size_t same = 0;
    while (same < modes.size() && same < direct.size() && modes[same].width == direct[same].width &&
           modes[same].height == direct[same].height &&
           modes[same].bitsPerPixel == direct[same].bitsPerPixel &&
           modes[same].refreshHz == direct[same].refreshHz) {
        ++same;
    }
    Check(same == modes.size() && same == direct.size(),
          "DisplayModes() gives every mode EnumDisplaySettingsA numbers, in its order, with its four numbers",
          std::to_string(modes.size()) + " modes, " + std::to_string(direct.size()) +
              " enumerated, first difference at " + std::to_string(same));

    if (!options.mode.empty()) {
        unsigned w = 0, h = 0, hz = 0;
        bool found = false;
        if (std::sscanf(options.mode.c_str(), "%ux%u@%u", &w, &h, &hz) == 3) {
            for (const DisplayMode& m : modes)
                found = found || (m.width == w && m.height == h && m.refreshHz == hz);
        }
        Check(found, "DisplayModes() holds " + options.mode);
    }
}

void CheckHelpAndTicks(Win32Os& os) {
    Check(!os.ShowHelp(os.ProgramFolder() + "\\no-such-help.chm"), "ShowHelp on a missing file is false");
    Check(!os.ShowHelp(os.ProgramFolder()), "ShowHelp on a folder is false");

    const uint32_t t0 = os.TickCount();
    Sleep(200);
    const uint32_t elapsed = os.TickCount() - t0;
    Check(elapsed >= 150 && elapsed < 10000, "TickCount() advances with the clock",
          std::to_string(elapsed) + " ms over a 200 ms sleep");

    const std::string date = os.LocalDateText();
    const std::string time = os.LocalTimeText();
    Check(!date.empty() && !time.empty() && date.find('\0') == std::string::npos &&
              time.find('\0') == std::string::npos,
          "LocalDateText() and LocalTimeText() give text (" + date + " " + time + ")");
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    if (options.bad) {
        std::fprintf(stderr, "usage: hzwkadaptercheck [--folder WINPATH] [--version FILE A.B.C.D] [--mode WxH@HZ]\n");
        return 2;
    }

    RemoveScratch();  // what an interrupted earlier run left
    {
        hzwk::Win32RegApi api;
        ApiRegistry reg(api);
        CheckStrings(reg);
        CheckDwords(reg);
        CheckDeleteAndCreate(reg);
        CheckRawQueries(reg);
        CheckHandles(reg);
    }
    RemoveScratch();
    Check(!KeyExists(kScratch), "the scratch key " + kScratch + " is gone again");

    Win32Os os;
    CheckFolders(os, options);
    CheckDebugFile(os);
    CheckVersions(os, options);
    CheckDisplayModes(os, options);
    CheckHelpAndTicks(os);

    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
