// The backup taken before a mode-list write: its text, its name, which old ones go, and
// which files restore accepts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modelist/backup.h"
#include "profile/backup_file.h"

namespace hzwk {
namespace {

using namespace std::string_literals;

const char kKey[] = "System\\CurrentControlSet\\Control\\Video\\{GUID}\\0000";
const char kHead[] = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Video\\{GUID}\\0000]\r\n";

bool ModeListName(const std::string& name) { return name == "NV_Modes" || name == "NV25_Modes"; }

BackupValue Value(const char* name, uint32_t type, const std::string& bytes) {
    return BackupValue{name, RegData{type, bytes}};
}

TEST(Backup, TextRestoresTheOldStateExactly) {
    const struct {
        BackupValue old;
        const char* line;      // the value's line(s) in the file
        BackupValue restored;  // what restore reads back
    } cases[] = {
        // The driver's own text has no NUL; regedit's quoted form gives it one back.
        {Value("NV_Modes", kRegSz, "{*}S 640x480x8,16,32=1FFF;\\ \"x\""),
         "\"NV_Modes\"=\"{*}S 640x480x8,16,32=1FFF;\\\\ \\\"x\\\"\"\r\n",
         Value("NV_Modes", kRegSz, "{*}S 640x480x8,16,32=1FFF;\\ \"x\"\0"s)},
        {Value("NV_Modes", kRegSz, ""), "\"NV_Modes\"=\"\"\r\n", Value("NV_Modes", kRegSz, "\0"s)},
        {Value("NV_Modes", kRegSz, "a\0b"s), "\"NV_Modes\"=hex(1):61,00,62\r\n", Value("NV_Modes", kRegSz, "a\0b"s)},
        {Value("NV_Modes", kRegSz, "a\r\n"), "\"NV_Modes\"=hex(1):61,0d,0a\r\n", Value("NV_Modes", kRegSz, "a\r\n")},
        {Value("NV_Modes", kRegDword, "\x01\0\0\x80"s), "\"NV_Modes\"=dword:80000001\r\n",
         Value("NV_Modes", kRegDword, "\x01\0\0\x80"s)},
        {Value("NV25_Modes", kRegBinary, "\xff"), "\"NV25_Modes\"=hex:ff\r\n", Value("NV25_Modes", kRegBinary, "\xff")},
        {Value("NV25_Modes", kRegMultiSz, "a\0\0"s), "\"NV25_Modes\"=hex(7):61,00,00\r\n",
         Value("NV25_Modes", kRegMultiSz, "a\0\0"s)},
        {BackupValue{"NV_Modes", std::nullopt}, "\"NV_Modes\"=-\r\n", BackupValue{"NV_Modes", std::nullopt}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string text, error;
        ASSERT_TRUE(MakeBackupText(kKey, c.old, &text));
        EXPECT_EQ(text, kHead + std::string(c.line) + "\r\n");
        BackupValue read;
        EXPECT_TRUE(ReadBackupText(text, kKey, ModeListName, &read, &error)) << error;
        EXPECT_EQ(read, c.restored);
    }
    // What a .reg file cannot hold, or could not read back, makes no file.
    std::string text;
    EXPECT_FALSE(MakeBackupText("A\r\nB", Value("NV_Modes", kRegSz, "x"), &text));
    EXPECT_FALSE(MakeBackupText("A\\\\B", Value("NV_Modes", kRegSz, "x"), &text));
    EXPECT_FALSE(MakeBackupText("", Value("NV_Modes", kRegSz, "x"), &text));
    EXPECT_FALSE(MakeBackupText(kKey, Value("NV\n", kRegSz, "x"), &text));
    EXPECT_TRUE(text.empty());
}

TEST(Backup, FileNamesAndWhichOnesGo) {
    const BackupTime t{2026, 1, 2, 3, 4, 5};
    EXPECT_EQ(BackupFileName(t, {"other.reg"}), "hzwk-backup-20260102-030405.reg");
    // Windows file names are the same whatever their case.
    EXPECT_EQ(BackupFileName(t, {"hzwk-backup-20260102-030405.reg", "HZWK-BACKUP-20260102-030405-2.REG"}),
              "hzwk-backup-20260102-030405-3.reg");

    // Twelve backups, the two oldest go: -10 is newer than -9, no suffix older than both.
    std::vector<std::string> names = {
        "hzwk-backup-20261206-231500-10.reg", "hzwk-backup-20261206-231500.reg",
        "hzwk-backup-20261206-231500-9.reg",  "hzwk-backup-20270101-000000.reg",
    };
    for (int s = 0; s < 8; ++s) names.push_back("hzwk-backup-20261207-00000" + std::to_string(s) + ".reg");
    // Never ours, however old they look.
    for (const char* other : {"hzwk-backup-20200101-000000-1.reg", "hzwk-backup-20200101-000000-02.reg",
                              "HZWK-BACKUP-20200101-000000.REG", "hzwk-backup-20200101-00000.reg",
                              "hzwk-backup-2020010a-000000.reg", "hzwk-backup-20200101-000000.reg.txt",
                              "hzwk-backup-20200101-000000-.reg", "debug.txt"})
        names.push_back(other);
    EXPECT_EQ(BackupsToDelete(names),
              (std::vector<std::string>{"hzwk-backup-20261206-231500.reg", "hzwk-backup-20261206-231500-9.reg"}));
}

TEST(Backup, RestoreRefusesWhatIsNotThisMachinesBackup) {
    const std::string key = "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Video\\{GUID}\\0000]\n";
    const std::string value = "\"NV_Modes\"=\"x\"\n";
    const std::string good = "REGEDIT4\n\n" + key + value;
    const struct {
        std::string text;
        const char* reason;
    } cases[] = {
        {"", "readable"},
        {"Windows Registry Editor Version 5.00\r\n\r\n" + key + value, "readable"},
        {"REGEDIT4\n", "no key"},
        {good + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\n\"x\"=\"y\"\n",
         "more than one key"},
        {"REGEDIT4\n[-HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Video\\{GUID}\\0000]\n", "deletes"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\System\\CurrentControlSet\\Control\\Video\\{GUID}\\0000]\n" + value,
         "not under"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Video\\{GUID}]\n" + value, "driver key"},
        {"REGEDIT4\n" + key, "no value"},
        {good + "\"NV_Modes\"=-\n", "more than one value"},
        {good + "\"NV25_Modes\"=\"y\"\n", "more than one value"},
        {"REGEDIT4\n" + key + "\"Device Description\"=\"x\"\n", "not a mode-list value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        BackupValue read{"untouched", std::nullopt};
        std::string error;
        EXPECT_FALSE(ReadBackupText(c.text, kKey, ModeListName, &read, &error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
        EXPECT_EQ(read.name, "untouched");
    }
    // Key names compare without regard to case, as Windows compares them.
    BackupValue read;
    std::string error;
    EXPECT_TRUE(ReadBackupText(good, "SYSTEM\\currentcontrolset\\Control\\Video\\{guid}\\0000", ModeListName,
                               &read, &error))
        << error;
    EXPECT_FALSE(ReadBackupText(good, "", ModeListName, &read, &error));  // nothing detected
}

}  // namespace
}  // namespace hzwk
