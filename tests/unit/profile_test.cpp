// Machine profiles: machine.ini as the program's tools and the Wine cases write it,
// loading a profile folder, and the Os that answers from it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "profile/file_io.h"
#include "profile/machine_profile.h"
#include "profile/profile_os.h"
#include "profile/reg_file.h"
#include "registry/registry_rules.h"

namespace hzwk {
namespace {

using namespace std::string_literals;

// Modes as text, so a mismatch shows which one differs.
std::string Text(const std::vector<DisplayMode>& modes) {
    std::string out;
    for (const auto& m : modes)
        out += std::to_string(m.width) + "x" + std::to_string(m.height) + "x" +
               std::to_string(m.bitsPerPixel) + "@" + std::to_string(m.refreshHz) + " ";
    return out;
}

const char kIni[] =
    "; XP with a GeForce4\r\n"
    "[system]\r\n"
    "directory=C:\\WINDOWS\\system32\r\n"
    "\r\n"
    "[Program]\r\n"
    "  folder = C:\\Program Files\\Hertzwerk  \r\n"
    "[files]\r\n"
    "C:\\WINDOWS\\system32\\nv4_disp.dll=6.14.10.3090\r\n"
    "C:\\WINDOWS\\system32\\nv4.dll=\r\n"
    "C:\\odd=name\\x.dll=65535.0.1.65535\r\n"
    "[wine]\r\n"
    "anything the harness keeps = here\r\n"
    "[display]\r\n"
    "modes=640x480x32@60 640x480x4@75\r\n"
    "# more of them\r\n"
    "modes=\t1024x768x16@0   1024x768x32@1 \r\n"
    "modes=\r\n";

MachineProfile Parsed(const std::string& text) {
    MachineProfile p;
    std::string error;
    EXPECT_TRUE(ParseMachineIni(text, p, &error)) << error;
    return p;
}

TEST(MachineIni, ReadsEverySection) {
    const MachineProfile p = Parsed(kIni);
    EXPECT_EQ(p.systemDirectory, "C:\\WINDOWS\\system32");
    EXPECT_EQ(p.programFolder, "C:\\Program Files\\Hertzwerk");
    ASSERT_EQ(p.files.size(), 3u);

    const ProfileFile* nv = p.FindFile("c:\\windows\\SYSTEM32\\NV4_DISP.DLL");
    ASSERT_NE(nv, nullptr);
    EXPECT_TRUE(nv->hasVersion);
    EXPECT_EQ(nv->version.ms, (6u << 16) | 14u);
    EXPECT_EQ(nv->version.ls, (10u << 16) | 3090u);

    const ProfileFile* plain = p.FindFile("C:\\WINDOWS\\system32\\nv4.dll");
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->hasVersion);

    const ProfileFile* odd = p.FindFile("C:\\odd=name\\x.dll");  // '=' inside a path
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(FormatFileVersion(odd->version), "65535.0.1.65535");  // the halves are unsigned
    EXPECT_EQ(p.FindFile("C:\\WINDOWS\\system32\\ati2dvag.dll"), nullptr);

    EXPECT_EQ(Text(p.modes), "640x480x32@60 640x480x4@75 1024x768x16@0 1024x768x32@1 ");
}

TEST(MachineIni, MalformedLinesAreReportedAndChangeNothing) {
    struct Bad {
        std::string text;
        std::string mentions;
    };
    const std::vector<Bad> cases = {
        {"directory=C:\\WINDOWS\n", "line 1"},
        {"[system]\ndir=C:\\WINDOWS\n", "dir"},
        {"[system]\ndirectory=A\ndirectory=B\n", "line 3"},
        {"[files]\nC:\\a.dll=6.14.10\n", "6.14.10"},  // four numbers of 16 bits
        {"[files]\nC:\\a.dll=65536.0.0.0\n", "65536.0.0.0"},
        {"[files]\nC:\\a.dll=1.2.3.4\nc:\\A.DLL=1.2.3.4\n", "twice"},
        {"[display]\nmode=640x480x32@60\n", "mode"},
        {"[display]\nmodes=640x480x32@60 640x480@60\n", "640x480@60"},
        {"[display]\nmodes=640x480x32@99999999999\n", "line 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        MachineProfile p = Parsed("[system]\ndirectory=KEEP\n");
        std::string error;
        EXPECT_FALSE(ParseMachineIni(c.text, p, &error));
        EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
        EXPECT_EQ(p.systemDirectory, "KEEP");
    }
}

// A scratch profile folder, removed afterwards.
class ProfileFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char buf[] = "/tmp/hzwk-profile-XXXXXX";
        ASSERT_NE(mkdtemp(buf), nullptr);
        dir = buf;
    }
    void TearDown() override {
        for (const char* f : {"machine.ini", "registry.reg", "registry.reg.tmp", "debug.txt"})
            std::remove((dir + "/" + f).c_str());
        rmdir(dir.c_str());
    }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(dir + "/" + name, std::ios::binary) << text;
    }
    std::string Read(const std::string& name) {
        std::string text, error;
        ReadWholeFile(dir + "/" + name, &text, &error);
        return text;
    }
    std::string dir;
};

const char kReg[] =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\r\n"
    "\"CurrentVersion\"=\"5.1\"\r\n";

// Saving rewrites only registry.reg, leaving no temporary file.
TEST_F(ProfileFolder, LoadsBothFilesAndSavesOnlyTheRegistry) {
    Write("machine.ini", kIni);
    Write("registry.reg", kReg);
    MemoryRegistry reg;
    ApiRegistry rules(reg);
    MachineProfile profile;
    std::string error;
    ASSERT_TRUE(LoadMachineProfile(dir, reg, profile, &error)) << error;
    EXPECT_EQ(profile.directory, dir);
    EXPECT_EQ(profile.systemDirectory, "C:\\WINDOWS\\system32");
    EXPECT_EQ(rules.GetStringValue("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion", ""), "5.1");

    ASSERT_TRUE(rules.SaveStringValue("SOFTWARE\\HZWK", "LastDetVersion", "6.14.10.3090"));
    ASSERT_TRUE(SaveProfileRegistry(dir, reg, &error)) << error;
    EXPECT_EQ(Read("machine.ini"), kIni);
    EXPECT_EQ(Read("registry.reg.tmp"), "");
    MemoryRegistry reloaded;
    ASSERT_TRUE(LoadMachineProfile(dir, reloaded, profile, &error)) << error;
    EXPECT_TRUE(reloaded.SameContent(reg));
    EXPECT_FALSE(SaveProfileRegistry(dir + "/missing-folder", reg, &error));
}

TEST_F(ProfileFolder, ABrokenProfileChangesNothing) {
    struct Broken {
        const char* ini;
        const char* reg;
        const char* mentions;
    };
    const std::vector<Broken> cases = {
        {nullptr, kReg, "machine.ini"},
        {kIni, nullptr, "registry.reg"},
        {"[display]\nmodes=oops\n", kReg, "machine.ini line 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mentions);
        std::remove((dir + "/machine.ini").c_str());
        std::remove((dir + "/registry.reg").c_str());
        if (c.ini) Write("machine.ini", c.ini);
        if (c.reg) Write("registry.reg", c.reg);
        MemoryRegistry reg;
        reg.SetRaw("SOFTWARE\\HZWK", "Kept", kRegSz, "yes"s);
        MachineProfile profile;
        profile.systemDirectory = "KEEP";
        std::string error;
        EXPECT_FALSE(LoadMachineProfile(dir, reg, profile, &error));
        EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
        EXPECT_EQ(profile.systemDirectory, "KEEP");
        EXPECT_TRUE(reg.GetRaw("SOFTWARE\\HZWK", "Kept").has_value());
    }
}

TEST_F(ProfileFolder, OsAnswersFromTheProfile) {
    MachineProfile profile = Parsed(kIni);
    profile.directory = dir;
    ProfileOs os(profile);

    FixedFileVersion v;
    EXPECT_FALSE(os.ReadFileVersion("C:\\WINDOWS\\system32\\nv4.dll", v));  // no version resource
    ASSERT_TRUE(os.WriteDebugFile("[1][2]\r\nWindows version: 5.1\r\n"));
    ASSERT_TRUE(os.AppendDebugFile("Added registry value: {x}\r\n"));
    EXPECT_EQ(Read("debug.txt"), "[1][2]\r\nWindows version: 5.1\r\nAdded registry value: {x}\r\n");
    ASSERT_TRUE(os.WriteDebugFile("new\r\n"));  // a rewrite starts the file afresh
    EXPECT_EQ(Read("debug.txt"), "new\r\n");

    os.Profile().directory = dir + "/missing-folder";
    EXPECT_FALSE(os.WriteDebugFile("x"));
    EXPECT_FALSE(os.AppendDebugFile("x"));
}

}  // namespace
}  // namespace hzwk
