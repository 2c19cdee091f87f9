// The monitors' limits as their EDIDs state them, what a damaged EDID gives, and the guard
// that keeps the calculator and Apply within them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "fakes.h"
#include "monitor/edid.h"
#include "monitor/find_monitor.h"
#include "registry/settings.h"

namespace hzwk {
namespace {

std::string Edid(const std::string& file) {
    const std::string bytes = test::EdidFile(file);
    EXPECT_EQ(bytes.size(), 128u) << file;
    return bytes;
}

void FixChecksum(std::string& e) {
    unsigned sum = 0;
    for (size_t i = 0; i < 127; ++i) sum += static_cast<unsigned char>(e[i]);
    e[127] = static_cast<char>(256 - sum % 256);
}

TEST(Edid, RealMonitorsGiveTheirNameAndLimits) {
    const struct {
        const char* file;
        const char* text;
    } cases[] = {
        {"SNY0290-FB6A64.bin", "Monitor: SONY CPD-G400\nHorizontal: 30-107 kHz\nVertical: 48-120 Hz\n"},
        {"SAM1057-3D7780.bin", "Monitor: SAM 1057\nHorizontal: 30-70 kHz\nVertical: 50-160 Hz\n"},
        {"IQT0703-2C05FD.bin", "Monitor: L70S\nHorizontal: unknown\nVertical: unknown\n"},
        {"PHL0008-1BDD97.bin", "Monitor: PHILIPS 109P4\nHorizontal: 30-111 kHz\nVertical: 50-160 Hz\n"},
        {"SAM72C0-960104.bin", "Monitor: Odyssey G7\nHorizontal: 30-372 kHz\nVertical: 30-165 Hz\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(MonitorText(ParseEdid(Edid(c.file))), c.text) << c.file;
    EXPECT_EQ(MonitorText(MonitorInfo{}), "Monitor: none found\n");
}

TEST(Edid, DamagedBlocksAndOffsetFlags) {
    const struct {
        const char* file;
        size_t at;           // byte to change; past the block: an extension block of `value`s
        int value;           // its new value; -1 cuts the block to 127 bytes
        bool fixChecksum;
        const char* text;
    } cases[] = {
        {"SNY0290-FB6A64.bin", 0, -1, false, "Monitor: none found\n"},
        {"SNY0290-FB6A64.bin", 0, 0x01, true, "Monitor: none found\n"},     // header
        {"SNY0290-FB6A64.bin", 30, 0x55, false, "Monitor: none found\n"},   // checksum
        {"SNY0290-FB6A64.bin", 18, 2, true, "Monitor: none found\n"},       // version 2
        {"SNY0290-FB6A64.bin", 200, 0x7F, false,                            // extension block
         "Monitor: SONY CPD-G400\nHorizontal: 30-107 kHz\nVertical: 48-120 Hz\n"},
        // The range block no longer a display descriptor (byte 1 set).
        {"SAM72C0-960104.bin", 73, 1, true, "Monitor: Odyssey G7\nHorizontal: unknown\nVertical: unknown\n"},
        {"SAM72C0-960104.bin", 76, 0x0F, true, "Monitor: Odyssey G7\nHorizontal: 285-372 kHz\nVertical: 285-420 Hz\n"},
        {"SAM72C0-960104.bin", 76, 0x05, true, "Monitor: Odyssey G7\nHorizontal: 30-117 kHz\nVertical: 30-165 Hz\n"},
        // The flags count only from revision 4 on.
        {"SAM72C0-960104.bin", 19, 3, true, "Monitor: Odyssey G7\nHorizontal: 30-117 kHz\nVertical: 30-165 Hz\n"},
    };
    for (const auto& c : cases) {
        std::string e = Edid(c.file);
        if (c.value < 0) e.pop_back();
        else if (c.at >= e.size()) e.append(128, char(c.value));
        else e[c.at] = char(c.value);
        if (c.fixChecksum) FixChecksum(e);
        EXPECT_EQ(MonitorText(ParseEdid(e)), c.text) << c.file << " byte " << c.at;
    }
}

// A range descriptor no monitor can have counts as none: a minimum above its maximum, or a
// maximum under 15 kHz or 40 Hz. Bytes 77-80: lowest and highest Hz, then kHz.
TEST(Edid, ImpossibleRangeLimitsCountAsAbsent) {
    const struct { int vMin, vMax, hMin, hMax; bool kept; } cases[] = {{48, 120, 30, 107, true}, {120, 120, 107, 107, true}, {40, 40, 15, 15, true},
                 {121, 120, 30, 107, false}, {48, 120, 108, 107, false}, {39, 39, 15, 15, false},
                 {40, 40, 14, 14, false}};
    for (const auto& c : cases) {
        std::string e = Edid("SNY0290-FB6A64.bin");
        const int bytes[] = {c.vMin, c.vMax, c.hMin, c.hMax};
        for (size_t i = 0; i < 4; ++i) e[77 + i] = static_cast<char>(bytes[i]);
        FixChecksum(e);
        const MonitorInfo info = ParseEdid(e);
        EXPECT_EQ(info.verticalHz, c.kept ? std::optional<RateRange>(RateRange{c.vMin, c.vMax}) : std::nullopt) << c.vMin;
        EXPECT_EQ(info.horizontalKhz, c.kept ? std::optional<RateRange>(RateRange{c.hMin, c.hMax}) : std::nullopt) << c.hMin;
    }
}

// Models and instances in the registry's order (not the order they were made in). The
// connected monitors attached to our adapter (by their Driver value) when any can be told,
// else every connected one; of those with a valid EDID the lowest maximum and the highest
// minimum of each range that any states.
TEST(FindMonitor, CombinesTheLimitsOfTheAttachedMonitors) {
    MemoryRegistry reg;
    ApiRegistry rules(reg);
    EXPECT_FALSE(FindMonitor(rules).valid);
    const std::string cls = "{4D36E96E-E325-11CE-BFC1-08002BE10318}\\";
    auto add = [&](const std::string& model, const std::string& edid, const std::string& driver, bool present = true) {
        test::AddMonitor(reg, model, edid, present);
        reg.SetRaw(std::string(reg::kMonitorsKey) + "\\" + model + "\\5&1&0&1", "Driver", kRegSz, cls + driver + '\0');
    };
    std::string damaged = Edid("SAM72C0-960104.bin");
    damaged[30] ^= 1;
    add("PHL0008", Edid("PHL0008-1BDD97.bin"), "0003", false);
    add("bad0001", damaged, "0004");
    add("SNY0290", Edid("SNY0290-FB6A64.bin") + std::string(384, '\x7f'), "0000");  // 30-107 kHz, 48-120 Hz
    add("Iqt0703", Edid("IQT0703-2C05FD.bin"), "0001");                            // states no limits
    add("SAM1057", Edid("SAM1057-3D7780.bin"), "0002");                            // 30-70 kHz, 50-160 Hz
    const std::string all = "Monitor: L70S + SAM 1057 + SONY CPD-G400\nHorizontal: 30-70 kHz\nVertical: 50-120 Hz\n";
    EXPECT_EQ(MonitorText(FindMonitor(rules)), all);
    EXPECT_EQ(MonitorText(FindMonitor(rules, {"Monitor\\Default_Monitor\\" + cls + "0009"})), all);
    const std::vector<DisplayAdapter> adapters = {
        {"\\Registry\\Machine\\System\\ControlSet001\\Control\\Video\\{X}\\0001", {"MONITOR\\SAM1057\\" + cls + "0002"}},
        {"\\REGISTRY\\MACHINE\\SYSTEM\\ControlSet002\\Control\\Video\\{x}\\0000",
         {"MONITOR\\SNY0290\\" + cls + "0000", "MONITOR\\PHL0008\\" + cls + "0003", "MONITOR\\IQT0703\\" + cls + "0001"}}};
    EXPECT_EQ(MonitorText(FindMonitor(rules, MonitorsOnAdapter(adapters, "System\\CurrentControlSet\\Control\\Video\\{X}\\0000"))),
              "Monitor: L70S + SONY CPD-G400\nHorizontal: 30-107 kHz\nVertical: 48-120 Hz\n");
    EXPECT_EQ(reg.OpenHandles(), 0);
}

// A caption above the vertical maximum is beyond; in the 17 rows the calculator fills, so is
// one above the rate it gives for the row's lines at the horizontal maximum; equal passes.
TEST(MonitorGuard, RowRuleAtItsEdges) {
    Captions c = test::All("N/A");
    c[kR512x384] = "263";  // no calculator row (262 by its lines): the vertical maximum alone
    c[kR640x400] = "121";
    c[kR640x480] = "120";  // 209 by its lines at 107 kHz
    c[kR848x480] = "121";
    c[kR1600x1200] = "82";  // 82 by its lines at 107 kHz
    c[kR1920x1200] = "83";
    auto beyond = [&](int kHz, int hz) {
        std::string out;
        for (const RowBeyond& r : RowsBeyond(c, RateLimits{kHz, hz}))
            out += std::string(kRows[static_cast<size_t>(r.row)].resolutionText) + "=" + std::to_string(r.rate) + "/" +
                   std::to_string(r.atMost) + " ";
        return out;
    };
    EXPECT_EQ(beyond(107, 120), "512 x 384=263/120 640 x 400=121/120 848 x 480=121/120 1920 x 1200=83/82 ");
    EXPECT_EQ(beyond(107, 0), "1920 x 1200=83/82 ");
    EXPECT_EQ(beyond(0, 120), "512 x 384=263/120 640 x 400=121/120 848 x 480=121/120 ");
    EXPECT_EQ(beyond(0, 0), "");
}

TEST(MonitorGuard, TheVerticalMaximumCapsTheCalculator) {
    test::Machine m("NVIDIA GeForce4 Ti 4600", 4109, true);
    test::AddMonitor(m.reg, "SNY0290", Edid("SNY0290-FB6A64.bin"));
    m.Start();
    m.form.CmdCalcClick();  // 107 kHz: 209, 167 and 130 Hz at 480, 600 and 768 lines
    const Captions c = m.form.CaptionsNow();
    EXPECT_EQ(c[kR640x480] + " " + c[kR800x600] + " " + c[kR1360x768] + " " + c[kR1152x864] + " " + c[kR1600x1200],
              "120 120 120 115 82");
    EXPECT_EQ(m.form.grid.Row(kR640x480).position, 120);
}

// Records the buttons as well: the warning's default answer is No.
struct ButtonsPrompt : test::ScriptedPrompt {
    std::vector<Buttons> buttons;
    Answer Show(const std::string& text, Icon icon, Buttons b) override {
        buttons.push_back(b);
        return ScriptedPrompt::Show(text, icon, b);
    }
};

// After the refusals, before the question: No writes, logs and backs up nothing; Yes goes on.
TEST(MonitorGuard, ApplyWarnsOfRowsBeyondTheMonitor) {
    for (const char* adapter : {"NVIDIA GeForce4 Ti 4600", "NVIDIA Nonesuch"}) {
        test::Machine m(adapter, 3090, false);
        test::AddMonitor(m.reg, "SNY0290", Edid("SNY0290-FB6A64.bin"));
        ButtonsPrompt prompt;
        MainForm form(m.rules, m.os, prompt);
        ASSERT_EQ(form.Load(""), StartupOutcome::ShowWindow);
        form.StepperChanged(kR1600x1200, 7);
        form.SetCaption(kR640x480, "121");
        m.os.debugFile.clear();
        prompt.answers = {Answer::No};
        if (adapter[7] == 'N') {
            EXPECT_EQ(form.CmdApplyClick(), WriteOutcome::Refused);
            EXPECT_EQ(prompt.shown.back().second, Icon::Critical);
            continue;
        }
        EXPECT_EQ(form.CmdApplyClick(), WriteOutcome::Declined);
        EXPECT_EQ(prompt.shown, (test::Boxes{{"The monitor SONY CPD-G400 cannot show these rates:\n\n640 x 480 at 121 Hz "
                                              "(at most 120 Hz)\n1600 x 1200 at 120 Hz (at most 82 Hz)\n\nThe screen may "
                                              "stay black in these modes after the restart. Write them anyway?",
                                              Icon::Warning}}));
        EXPECT_EQ(prompt.buttons, std::vector<Buttons>{Buttons::YesNoDefaultNo});
        EXPECT_EQ(m.Value("NV25_Modes") + m.os.debugFile, "<absent>");
        EXPECT_TRUE(m.os.files[m.os.folder].empty());
        prompt.answers = {Answer::Yes, Answer::Yes};
        EXPECT_EQ(form.CmdApplyClick(), WriteOutcome::Written);
        EXPECT_EQ(prompt.shown[2].first, kAskApply);
    }
}

// hzwkctl apply on the default profile: rows beyond its monitor end with exit 2 and one line,
// nothing written; --force writes them.
TEST(MonitorGuard, HzwkctlApplyRefusesRowsBeyondUnlessForced) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("hzwk-guard-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::copy(fs::path(HZWK_SOURCE_DIR) / "tests/e2e/profiles/xp-ti4600-3090", dir);
    const std::string reg = test::FileText((dir / "registry.reg").string()), err = (dir / "err").string();
    auto apply = [&](const std::string& args) {
        const std::string command = HZWKCTL_PATH " apply --machine '" + dir.string() + "' " + args + " >/dev/null 2>'";
        return WEXITSTATUS(std::system((command + err + "'").c_str()));
    };
    EXPECT_EQ(apply("640x400=121 1600x1200=82"), 2);
    EXPECT_EQ(test::FileText(err), "hzwkctl: the monitor SONY CPD-G400 cannot show 640x400=121 (at most 120); "
                                   "nothing written (--force writes anyway)\n");
    EXPECT_EQ(test::FileText((dir / "registry.reg").string()), reg);
    EXPECT_EQ(apply("--force 640x400=121"), 0);
    EXPECT_NE(test::FileText((dir / "registry.reg").string()), reg);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace hzwk
