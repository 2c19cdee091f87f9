// Machine profiles: machine.ini as the program's tools and the Wine cases write it,
// loading a profile folder, and the Os that answers from it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "profile/file_io.h"
#include "profile/machine_profile.h"
#include "profile/profile_os.h"
#include "profile/reg_file.h"
#include "registry/registry_rules.h"
#include "fakes.h"

namespace hzwk {
namespace {

using namespace std::string_literals;

// A profile as text, so a mismatch shows which part differs.
std::string Text(const MachineProfile& p) {
    std::string out = p.systemDirectory + "|" + p.programFolder + "|";
    for (const auto& f : p.files) out += f.path + "=" + (f.hasVersion ? FormatFileVersion(f.version) : "") + " ";
    for (const auto& m : p.modes)
        out += std::to_string(m.width) + "x" + std::to_string(m.height) + "x" +
               std::to_string(m.bitsPerPixel) + "@" + std::to_string(m.refreshHz) + " ";
    return out;
}

const char kIni[] =
    "; XP with a GeForce4\r\n[system]\r\ndirectory=C:\\WINDOWS\\system32\r\n\r\n[Program]\r\n"
    "  folder = C:\\Program Files\\Hertzwerk  \r\n[files]\r\nC:\\WINDOWS\\system32\\nv4_disp.dll=6.14.10.3090\r\n"
    "C:\\WINDOWS\\system32\\nv4.dll=\r\nC:\\odd=name\\x.dll=65535.0.1.65535\r\n"
    "[wine]\r\nanything the harness keeps = here\r\n[display]\r\nmodes=640x480x32@60 640x480x4@75\r\n"
    "# more of them\r\nmodes=\t1024x768x16@0   1024x768x32@1 \r\nmodes=\r\n";

MachineProfile Parsed(const std::string& text) {
    MachineProfile p;
    std::string error;
    EXPECT_TRUE(ParseMachineIni(text, p, &error)) << error;
    return p;
}

TEST(MachineIni, ReadsEverySection) {
    const MachineProfile p = Parsed(kIni);
    EXPECT_EQ(Text(p), "C:\\WINDOWS\\system32|C:\\Program Files\\Hertzwerk|"
                       "C:\\WINDOWS\\system32\\nv4_disp.dll=6.14.10.3090 C:\\WINDOWS\\system32\\nv4.dll= "
                       "C:\\odd=name\\x.dll=65535.0.1.65535 "  // '=' inside a path
                       "640x480x32@60 640x480x4@75 1024x768x16@0 1024x768x32@1 ");
    const ProfileFile* nv = p.FindFile("c:\\windows\\SYSTEM32\\NV4_DISP.DLL");
    ASSERT_NE(nv, nullptr);
    EXPECT_TRUE(nv->version.ms == ((6u << 16) | 14u) && nv->version.ls == ((10u << 16) | 3090u));
    EXPECT_EQ(p.FindFile("C:\\WINDOWS\\system32\\ati2dvag.dll"), nullptr);
}

// What the tools write reads back as the same machine, whatever its files and modes.
TEST(MachineIni, RandomProfilesWrittenReadBackTheSame) {
    std::mt19937 rng(1917);
    for (int run = 0; run < 40; ++run) {
        MachineProfile p;
        p.systemDirectory = "C:\\WIN" + std::to_string(rng() % 100);
        p.programFolder = "D:\\H=" + std::to_string(rng() % 100) + " x";
        for (int i = rng() % 4; i > 0; --i)
            p.files.push_back({"C:\\d=" + std::to_string(i) + "\\f.dll", rng() % 3 > 0, {uint32_t(rng()), uint32_t(rng())}});
        for (int i = rng() % 20; i > 0; --i)
            p.modes.push_back({uint32_t(rng() % 4000), uint32_t(rng() % 3000), uint32_t(rng() % 33), uint32_t(rng() % 200)});
        const std::string text = FormatMachineIni(p);
        const MachineProfile back = Parsed(text);
        SCOPED_TRACE(text);
        EXPECT_EQ(Text(back), Text(p));
        EXPECT_EQ(FormatMachineIni(back), text);
        if (HasFailure()) break;
    }
}

TEST(MachineIni, MalformedLinesAreRefusedWithTheirLine) {
    const std::pair<const char*, int> cases[] = {
        {"directory=C:\\WINDOWS\n", 1}, {"[system]\ndir=C:\\WINDOWS\n", 2}, {"[system]\ndirectory=A\ndirectory=B\n", 3},
        {"[files]\nC:\\a.dll=6.14.10\n", 2}, {"[files]\nC:\\a.dll=65536.0.0.0\n", 2},
        {"[files]\nC:\\a.dll=1.2.3.4\nc:\\A.DLL=1.2.3.4\n", 3}, {"[display]\nmode=640x480x32@60\n", 2},
        {"[display]\nmodes=640x480x32@60 640x480@60\n", 2}, {"[display]\nmodes=640x480x32@99999999999\n", 2}, {"[display]\nmodes=640x480x@60\n", 2},
    };
    for (const auto& [text, line] : cases) {
        MachineProfile p = Parsed("[system]\ndirectory=KEEP\n");
        std::string error;
        EXPECT_FALSE(ParseMachineIni(text, p, &error)) << text;
        EXPECT_NE(error.find("line " + std::to_string(line)), std::string::npos) << text << error;
        EXPECT_EQ(p.systemDirectory, "KEEP");
    }
}

// A profile folder: both files load, a save rewrites only registry.reg and leaves no temporary
// file, a broken or missing file changes nothing, and debug.txt is written beside them.
TEST(ProfileFolder, LoadsSavesAndWritesTheLog) {
    char buf[] = "/tmp/hzwk-profile-XXXXXX";
    ASSERT_NE(mkdtemp(buf), nullptr);
    const std::string dir = buf;
    const auto write = [&](const char* name, const char* text) {
        std::remove((dir + "/" + name).c_str());
        if (text) std::ofstream(dir + "/" + name, std::ios::binary) << text;
    };
    const char* reg = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\X]\r\n\"CurrentVersion\"=\"5.1\"\r\n";
    write("machine.ini", kIni);
    write("registry.reg", reg);
    MemoryRegistry registry, reloaded;
    ApiRegistry rules(registry);
    MachineProfile profile;
    std::string error;
    ASSERT_TRUE(LoadMachineProfile(dir, registry, profile, &error)) << error;
    EXPECT_EQ(profile.directory + profile.systemDirectory, dir + "C:\\WINDOWS\\system32");
    EXPECT_EQ(rules.GetStringValue("SOFTWARE\\X", "CurrentVersion", ""), "5.1");
    ASSERT_TRUE(rules.SaveStringValue("SOFTWARE\\HZWK", "LastDetVersion", "6.14.10.3090"));
    ASSERT_TRUE(SaveProfileRegistry(dir, registry, &error)) << error;
    EXPECT_EQ(test::FileText(dir + "/machine.ini"), kIni);
    EXPECT_EQ(test::FileText(dir + "/registry.reg.tmp"), "");
    ASSERT_TRUE(LoadMachineProfile(dir, reloaded, profile, &error)) << error;
    EXPECT_TRUE(reloaded.SameContent(registry));

    ProfileOs os(profile);
    ASSERT_TRUE(os.WriteDebugFile("[1]\r\n") && os.AppendDebugFile("Added\r\n"));
    EXPECT_EQ(test::FileText(dir + "/debug.txt"), "[1]\r\nAdded\r\n");
    ASSERT_TRUE(os.WriteDebugFile("new\r\n"));  // a rewrite starts the file afresh
    EXPECT_EQ(test::FileText(dir + "/debug.txt"), "new\r\n");
    const ClockTime c = os.LocalClock();  // the clock a backup is named by agrees with the system's date
    char date[32];
    std::snprintf(date, sizeof date, "%02d/%02d/%02d", c.month, c.day, c.year % 100);
    EXPECT_EQ(os.LocalDateText(), date);
    FixedFileVersion v;
    EXPECT_FALSE(os.ReadFileVersion("C:\\WINDOWS\\system32\\nv4.dll", v));  // no version resource

    const std::pair<const char*, const char*> broken[] = {
        {nullptr, "machine.ini"}, {"[display]\nmodes=oops\n", "machine.ini line 2"}, {"", "registry.reg"}};
    for (const auto& [ini, mentions] : broken) {
        write("machine.ini", ini);
        if (ini && !*ini) write("machine.ini", kIni), write("registry.reg", nullptr);
        MachineProfile kept = profile;
        EXPECT_FALSE(LoadMachineProfile(dir, reloaded, kept, &error));
        EXPECT_NE(error.find(mentions), std::string::npos) << error;
        EXPECT_EQ(kept.directory, profile.directory);
        EXPECT_TRUE(reloaded.SameContent(registry));
    }
    EXPECT_FALSE(SaveProfileRegistry(dir + "/missing-folder", registry, &error));
    os.Profile().directory = dir + "/missing-folder";
    EXPECT_FALSE(os.WriteDebugFile("x") || os.AppendDebugFile("x"));
    for (const char* f : {"machine.ini", "registry.reg", "debug.txt"}) std::remove((dir + "/" + f).c_str());
    rmdir(dir.c_str());
}

}  // namespace
}  // namespace hzwk
