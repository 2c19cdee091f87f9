// The monitor's limits as its EDID states them, and what a damaged EDID gives.
#include <gtest/gtest.h>

#include <string>

#include "fakes.h"
#include "monitor/edid.h"
#include "monitor/find_monitor.h"

namespace hzwk {
namespace {

std::string Edid(const std::string& file) {
    const std::string bytes = test::EdidFile(file);
    EXPECT_EQ(bytes.size(), 128u) << file;
    return bytes;
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
        if (c.fixChecksum) {
            unsigned sum = 0;
            for (size_t i = 0; i < 127; ++i) sum += static_cast<unsigned char>(e[i]);
            e[127] = char(256 - sum % 256);
        }
        EXPECT_EQ(MonitorText(ParseEdid(e)), c.text) << c.file << " byte " << c.at;
    }
}

// Models and instances in the registry's order (not the order they were made in); the first
// connected one with a valid EDID wins, an EDID too long for the first read included.
TEST(FindMonitor, FirstConnectedValidEdidInKeyOrder) {
    MemoryRegistry reg;
    ApiRegistry rules(reg);
    EXPECT_FALSE(FindMonitor(rules).valid);
    test::AddMonitor(reg, "PHL0008", Edid("PHL0008-1BDD97.bin"));
    std::string damaged = Edid("SAM72C0-960104.bin");
    damaged[30] ^= 1;
    test::AddMonitor(reg, "bad0001", damaged);
    test::AddMonitor(reg, "AAA0001", Edid("IQT0703-2C05FD.bin"), false);
    test::AddMonitor(reg, "Iqt0703", Edid("SNY0290-FB6A64.bin") + std::string(384, '\x7f'));
    EXPECT_EQ(MonitorText(FindMonitor(rules)), "Monitor: SONY CPD-G400\nHorizontal: 30-107 kHz\nVertical: 48-120 Hz\n");
    EXPECT_EQ(reg.OpenHandles(), 0);
}

}  // namespace
}  // namespace hzwk
