// The monitors' limits as their EDIDs state them, what a damaged EDID gives, and the guard
// that keeps the calculator and Apply within them.
#include "fakes.h"

#include "monitor/edid.h"
#include "monitor/find_monitor.h"

namespace hzwk {
namespace {

void FixChecksum(std::string& e) {
    unsigned sum = 0;
    for (size_t i = 0; i < 127; ++i) sum += static_cast<unsigned char>(e[i]);
    e[127] = static_cast<char>(256 - sum % 256);
}

// Real EDIDs, damaged ones, the offset flags (from revision 4 on) and the range-limits sanity
// rule: a minimum above its maximum, or a maximum under 15 kHz or 40 Hz, counts as absent.
TEST(Edid, NamesAndLimitsOfRealDamagedAndImpossibleBlocks) {
    const auto sony = [](const std::string& h, const std::string& v) {
        return "Monitor: SONY CPD-G400\nHorizontal: " + h + "\nVertical: " + v + "\n";
    };
    const std::string unknown = sony("unknown", "unknown"), none = "Monitor: none found\n", sny = "SNY0290-FB6A64.bin";
    const std::string g7 = "Monitor: Odyssey G7\nHorizontal: ";
    // at: the first byte to change, past the block an extension block of `bytes`; bytes "-": the
    // block cut to 127 bytes; fixed: the checksum made right again
    const struct { std::string file; size_t at; std::string bytes; bool fixed; std::string text; } cases[] = {
        {sny, 0, "", 0, sony("30-107 kHz", "48-120 Hz")},
        {"IQT0703-2C05FD.bin", 0, "", 0, "Monitor: L70S\nHorizontal: unknown\nVertical: unknown\n"},
        {"SAM1057-3D7780.bin", 0, "", 0, "Monitor: SAM 1057\nHorizontal: 30-70 kHz\nVertical: 50-160 Hz\n"},
        {"SAM1057-3D7780.bin", 8, "\x6c\x2d", 1, "Monitor: ?AM 1057\nHorizontal: 30-70 kHz\nVertical: 50-160 Hz\n"},
        {"PHL0008-1BDD97.bin", 0, "", 0, "Monitor: PHILIPS 109P4\nHorizontal: 30-111 kHz\nVertical: 50-160 Hz\n"},
        {"SAM72C0-960104.bin", 0, "", 0, g7 + "30-372 kHz\nVertical: 30-165 Hz\n"},
        {sny, 0, "-", 0, none}, {sny, 0, "\x01", 1, none} /* header */, {sny, 30, "U", 0, none} /* checksum */,
        {sny, 18, "\x02", 1, none} /* version 2 */, {sny, 200, "\x7f", 0, sony("30-107 kHz", "48-120 Hz")},
        {"SAM72C0-960104.bin", 73, "\x01", 1, g7 + "unknown\nVertical: unknown\n"},  // no display descriptor
        {"SAM72C0-960104.bin", 76, "\x0f", 1, g7 + "285-372 kHz\nVertical: 285-420 Hz\n"},
        {"SAM72C0-960104.bin", 76, "\x05", 1, g7 + "30-117 kHz\nVertical: 30-165 Hz\n"},
        {"SAM72C0-960104.bin", 19, "\x03", 1, g7 + "30-117 kHz\nVertical: 30-165 Hz\n"},  // revision 3
        // Bytes 77-80: lowest and highest Hz, then kHz.
        {sny, 77, "\x78\x78\x6b\x6b", 1, sony("107-107 kHz", "120-120 Hz")},
        {sny, 77, "\x28\x28\x0f\x0f", 1, sony("15-15 kHz", "40-40 Hz")},
        {sny, 77, "\x79\x78\x1e\x6b", 1, unknown}, {sny, 77, "\x30\x78\x6c\x6b", 1, unknown},
        {sny, 77, "\x27\x27\x0f\x0f", 1, unknown}, {sny, 77, "\x28\x28\x0e\x0e", 1, unknown},
    };
    EXPECT_EQ(MonitorText(MonitorInfo{}), none);
    for (const auto& c : cases) {
        std::string e = test::EdidFile(c.file);
        if (c.bytes == "-") e.pop_back();
        else if (c.at >= e.size()) e.append(128, c.bytes[0]);
        else e.replace(c.at, c.bytes.size(), c.bytes);
        if (c.fixed) FixChecksum(e);
        EXPECT_EQ(MonitorText(ParseEdid(e)), c.text) << c.file << " byte " << c.at;
    }
}

// Models and instances in the registry's order (not the order they were made in). The
// connected monitors attached to our adapter (by their Driver value) when any can be told,
// else every connected one; of those with a valid EDID the lowest maximum and the highest
// minimum of each range that any states.
TEST(FindMonitor, CombinesTheLimitsOfTheAttachedMonitors) {
    MemoryRegistry reg;
    ApiRegistry rules(reg);
    const std::string cls = "{4D36E96E-E325-11CE-BFC1-08002BE10318}\\";
    auto add = [&](const std::string& model, const std::string& edid, const std::string& driver, bool present = true) {
        test::AddMonitor(reg, model, edid, present);
        reg.SetRaw(std::string(reg::kMonitorsKey) + "\\" + model + "\\5&1&0&1", "Driver", kRegSz, cls + driver + '\0');
    };
    std::string damaged = test::EdidFile("SAM72C0-960104.bin");
    damaged[30] ^= 1;
    add("PHL0008", test::EdidFile("PHL0008-1BDD97.bin"), "0003", false);
    add("bad0001", damaged, "0004");
    test::AddMonitor(reg, "SZ00001", test::EdidFile("SAM72C0-960104.bin"), true, kRegSz);  // whole, but no binary value
    add("SNY0290", test::EdidFile("SNY0290-FB6A64.bin") + std::string(384, '\x7f'), "0000");  // 30-107 kHz, 48-120 Hz
    add("Iqt0703", test::EdidFile("IQT0703-2C05FD.bin"), "0001");                            // states no limits
    add("SAM1057", test::EdidFile("SAM1057-3D7780.bin"), "0002");                            // 30-70 kHz, 50-160 Hz
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

// A caption above the vertical maximum is beyond; in the 17 rows the calculator fills, so is one above
// the rate it gives for the row's lines at the horizontal maximum; equal passes (0: no limit stated).
TEST(MonitorGuard, RowRuleAtItsEdges) {
    Captions c;  // 512 x 384 is no calculator row (262 by its lines): the vertical maximum alone
    c.fill("N/A"), c[kR512x384] = "263", c[kR640x400] = "121", c[kR640x480] = "120", c[kR848x480] = "121";
    c[kR1600x1200] = "82", c[kR1920x1200] = "83";  // 82: 1600 x 1200's rate by its lines at 107 kHz
    std::string out;
    for (const auto& [kHz, hz] : {std::pair{107, 120}, {107, 0}, {0, 120}, {0, 0}}) {
        for (const RowBeyond& r : RowsBeyond(c, RateLimits{kHz, hz}))
            out += std::string(kRows[size_t(r.row)].resolutionText) + "=" + std::to_string(r.rate) + "/" + std::to_string(r.atMost) + " ";
        out += "|";
    }
    EXPECT_EQ(out, "512 x 384=263/120 640 x 400=121/120 848 x 480=121/120 1920 x 1200=83/82 |1920 x 1200=83/82 |"
                   "512 x 384=263/120 640 x 400=121/120 848 x 480=121/120 ||");
}

// The vertical maximum caps the calculator. Apply warns of rows beyond the monitor after the
// refusals, before the question: No writes, logs and backs up nothing; Yes goes on to the question.
TEST(MonitorGuard, ApplyWarnsOfRowsBeyondTheMonitor) {
    test::Machine unknown("NVIDIA Nonesuch", 3090, false), m("NVIDIA GeForce4 Ti 4600", 4109, true);
    for (test::Machine* x : {&unknown, &m})
        test::AddMonitor(x->reg, "SNY0290", test::EdidFile("SNY0290-FB6A64.bin")), x->Start();
    unknown.form.SetCaption(kR640x480, "121");
    EXPECT_EQ(unknown.form.CmdApplyClick(), WriteOutcome::Refused);
    m.form.CmdCalcClick();  // 107 kHz: 209, 167 and 130 Hz at 480, 600 and 768 lines
    const Captions c = m.form.CaptionsNow();
    EXPECT_EQ(c[kR640x480] + " " + c[kR800x600] + " " + c[kR1360x768] + " " + c[kR1152x864] + " " + c[kR1600x1200] + " " +
                  std::to_string(m.form.grid.Row(kR640x480).position), "120 120 120 115 82 120");
    m.form.SetCaption(kR1600x1200, "120"), m.form.SetCaption(kR640x480, "121");
    m.prompt.answers = {Answer::No};
    EXPECT_EQ(m.form.CmdApplyClick(), WriteOutcome::Declined);
    EXPECT_EQ(m.prompt.shown, (test::Boxes{{"The monitor SONY CPD-G400 cannot show these rates:\n\n640 x 480 at 121 Hz "
                                            "(at most 120 Hz)\n1600 x 1200 at 120 Hz (at most 82 Hz)\n\nThe screen may "
                                            "stay black in these modes after the restart. Write them anyway?", Icon::Warning}}));
    EXPECT_EQ(m.Value("NV_Modes") + m.os.debugFile + std::to_string(m.os.files[m.os.folder].size()), "<absent>0");
    m.prompt.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(m.form.CmdApplyClick(), WriteOutcome::Written);
    EXPECT_EQ(m.prompt.shown[2].first, kAskApply);
}

}  // namespace
}  // namespace hzwk
