// machine.ini as the program's tools and the Wine cases write it: random profiles read back
// the same, and malformed lines are refused with their line.
#include "fakes.h"

#include "profile/machine_profile.h"

namespace hzwk {
namespace {

// A profile as text, so a mismatch shows which part differs.
std::string Text(const MachineProfile& p) {
    std::string out = p.systemDirectory + "|" + p.programFolder + "|";
    for (const auto& f : p.files) out += f.path + "=" + (f.hasVersion ? FormatFileVersion(f.version) : "") + " ";
    for (const auto& m : p.modes)
        out += std::to_string(m.width) + "x" + std::to_string(m.height) + "x" +
               std::to_string(m.bitsPerPixel) + "@" + std::to_string(m.refreshHz) + " ";
    return out;
}

// What the tools write reads back as the same machine, whatever its files ('=' in paths) and
// modes; file names match without regard to case.
TEST(MachineIni, RandomProfilesWrittenReadBackTheSame) {
    std::mt19937 rng(1917);
    for (int run = 0; run < 40; ++run) {
        MachineProfile p, back;
        p.systemDirectory = "C:\\WIN" + std::to_string(rng() % 100);
        p.programFolder = "D:\\H=" + std::to_string(rng() % 100) + " x";
        for (int i = rng() % 4; i > 0; --i)
            p.files.push_back({"C:\\d=" + std::to_string(i) + "\\f.dll", rng() % 3 > 0, {uint32_t(rng()), uint32_t(rng())}});
        for (int i = rng() % 20; i > 0; --i)
            p.modes.push_back({uint32_t(rng() % 4000), uint32_t(rng() % 3000), uint32_t(rng() % 33), uint32_t(rng() % 200)});
        const std::string text = FormatMachineIni(p);
        std::string error;
        SCOPED_TRACE(text);
        ASSERT_TRUE(ParseMachineIni(text, back, &error)) << error;
        EXPECT_EQ(Text(back), Text(p));
        EXPECT_TRUE(p.files.empty() || back.FindFile("c:\\D=1\\F.DLL") == &back.files.back());
        // Comments, blank lines and the harness's own sections change nothing.
        MachineProfile padded;
        ASSERT_TRUE(ParseMachineIni("; notes\r\n\r\n[wine]\r\nanything = here\r\n# more\r\n" + text, padded, &error));
        EXPECT_EQ(Text(padded), Text(p));
        if (HasFailure()) break;
    }
}

TEST(MachineIni, MalformedLinesAreRefusedWithTheirLine) {
    const std::pair<const char*, int> cases[] = {
        {"directory=C:\\WINDOWS\n", 1}, {"[system]\ndir=C:\\WINDOWS\n", 2}, {"[system]\ndirectory=A\ndirectory=B\n", 3},
        {"[files]\nC:\\a.dll=6.14.10\n", 2}, {"[files]\nC:\\a.dll=65536.0.0.0\n", 2},
        {"[files]\nC:\\a.dll=1.2.3.4\nc:\\A.DLL=1.2.3.4\n", 3}, {"[display]\nmode=640x480x32@60\n", 2},
        {"[display]\nmodes=640x480x32@60 640x480@60\n", 2}, {"[display]\nmodes=640x480x32@99999999999\n", 2},
        {"[display]\nmodes=640x480x@60\n", 2}, {"[display]\nmodes=64ax480x32@60\n", 2},
    };
    for (const auto& [text, line] : cases) {
        MachineProfile p;
        p.systemDirectory = "KEEP";
        std::string error;
        EXPECT_FALSE(ParseMachineIni(text, p, &error)) << text;
        EXPECT_NE(error.find("line " + std::to_string(line)), std::string::npos) << text << error;
        EXPECT_EQ(p.systemDirectory, "KEEP");
    }
}

}  // namespace
}  // namespace hzwk
