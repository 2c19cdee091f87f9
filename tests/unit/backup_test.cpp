// The backup taken before a mode-list write: its text, its name, which old ones go, and
// which files restore accepts.
#include "fakes.h"

#include <unistd.h>

#include "modelist/backup.h"
#include "profile/profile_os.h"

namespace hzwk {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

const char kKey[] = "System\\CurrentControlSet\\Control\\Video\\{GUID}\\0000";
const char kHead[] = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Video\\{GUID}\\0000]\r\n";

TEST(Backup, FileNamesAndWhichOnesGo) {
    const BackupTime t{2026, 1, 2, 3, 4, 5};
    EXPECT_EQ(BackupFileName(t, {"other.reg"}), "hzwk-backup-20260102-030405.reg");
    // Windows file names are the same whatever their case.
    EXPECT_EQ(BackupFileName(t, {"hzwk-backup-20260102-030405.reg", "HZWK-BACKUP-20260102-030405-2.REG"}),
              "hzwk-backup-20260102-030405-3.reg");

    // Thirteen backups: the oldest and the ten newest stay. -10 is newer than -9, no suffix
    // older than both, and letter case does not matter.
    std::vector<std::string> names = {"hzwk-backup-20261206-231500-10.reg", "HZWK-BACKUP-20261206-231500.REG",
                                      "hzwk-backup-20261206-231500-9.reg", "hzwk-backup-20270101-000000.reg",
                                      "hzwk-backup-20200101-000000.reg"};
    for (int s = 0; s < 8; ++s) names.push_back("hzwk-backup-20261207-00000" + std::to_string(s) + ".reg");
    // Never ours, however old they look.
    for (const char* other : {"hzwk-backup-20100101-000000-1.reg", "hzwk-backup-20100101-000000-02.reg", "debug.txt",
             "hzwk-backup-20100101-00000.reg", "hzwk-backup-2010010a-000000.reg", "hzwk-backuq-20100101-000000.reg",
             "hzwk-backup-20100101-000000.reg.txt", "hzwk-backup-20100101-000000-.reg", "hzwk-backup-20100101+000000.reg",
             "hzwk-backup-20100101-000000,1.reg"})
        names.push_back(other);
    EXPECT_EQ(BackupsToDelete(names, 10),
              (std::vector<std::string>{"HZWK-BACKUP-20261206-231500.REG", "hzwk-backup-20261206-231500-9.reg"}));
}

// Pruning on disk deletes only what is plainly one of our backups of this key (name, at most
// 64 KB, first lines), never a folder, and never the oldest: the state before the first write.
TEST(Backup, PruningSparesLookAlikesFoldersAndTheOldest) {
    const fs::path dir = fs::temp_directory_path() / ("hzwk-prune-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "hzwk-backup-20200105-000000.reg");
    const auto write = [&dir](const std::string& name, const std::string& text) { std::ofstream(dir / name) << text; };
    write("hzwk-backup-20200101-000000.reg", kHead + "\"NV_Modes\"=-\r\n\r\n"s);
    write("HZWK-BACKUP-20200102-000000.REG", kHead);
    write("hzwk-backup-20200103-000000.reg", "my own notes");
    write("hzwk-backup-20200104-000000.reg", kHead + std::string(kMaxBackupBytes, ';'));
    for (int i = 0; i < 10; ++i) write("hzwk-backup-2021010" + std::to_string(i) + "-000000.reg", kHead);
    ProfileOs os(MachineProfile{dir.string(), "", "C:\\Hertzwerk", {}, {}, {}});
    MemoryRegistry reg;
    ApiRegistry api(reg);
    std::string failure;
    ASSERT_TRUE(SaveBackup(api, os, kKey, "NV_Modes", &failure)) << failure;
    EXPECT_FALSE(fs::exists(dir / "HZWK-BACKUP-20200102-000000.REG"));
    EXPECT_FALSE(fs::exists(dir / "hzwk-backup-20210100-000000.reg"));
    for (const char* kept : {"hzwk-backup-20200101-000000.reg", "hzwk-backup-20200103-000000.reg",
                             "hzwk-backup-20200104-000000.reg", "hzwk-backup-20200105-000000.reg"})
        EXPECT_TRUE(fs::exists(dir / kept)) << kept;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 14);  // and 9 + the new one
    fs::remove_all(dir);
}

// Only "not found" reads as absent: a refused read saves no backup, so Apply writes, logs and
// prunes nothing. A program run from the temporary folder keeps its backups in AppData; when
// no folder takes one, the message names those tried.
TEST(Backup, WithoutASafeBackupApplyChangesNothing) {
    const std::string program = "C:\\Program Files\\Hertzwerk", ours = "C:\\AppData\\Hertzwerk";
    const std::string head = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\" + std::string(test::kXpDeviceKey) + "]\r\n";
    // folder: the program's; message: none when the backup is in AppData
    const struct { bool failReads; std::string folder; std::set<std::string> locked; const char* message; } cases[] = {
        {true, program, {}, kNoBackup},
        {false, program, {program, ours},
         "Could not save a backup of the current mode list in \"C:\\Program Files\\Hertzwerk\" or "
         "\"C:\\AppData\\Hertzwerk\", so nothing was changed."},
        {false, "C:\\DOCUMENTS AND SETTINGS\\u\\Local Settings\\temp\\Temporary Directory 1 for hzwk.zip", {}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        test::Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
        m.Start();
        m.reg.SetRaw(test::kXpDeviceKey, "NV25_Modes", kRegSz, "old");
        m.os.folder = c.folder, m.os.appData = "C:\\AppData", m.os.locked = c.locked;
        for (int i = 0; i < 12; ++i) m.os.files[c.folder]["hzwk-backup-202001" + std::to_string(10 + i) + "-000000.reg"] = head;
        const auto before = m.os.files;
        m.reg.FailReads(c.failReads);
        m.prompt.answers = {Answer::Yes};
        const WriteOutcome out = m.form.CmdApplyClick();
        m.reg.FailReads(false);
        if (!c.message) {
            EXPECT_TRUE(out == WriteOutcome::Written && m.os.files[ours].size() == 1);
            EXPECT_EQ(m.os.files[c.folder], before.at(c.folder));
            continue;
        }
        EXPECT_TRUE(out == WriteOutcome::Failed && m.Value("NV25_Modes") == "old" && m.os.debugFile.empty());
        EXPECT_EQ(m.prompt.shown.back(), (std::pair<std::string, Icon>{c.message, Icon::Critical}));
        EXPECT_EQ(m.os.files, before);
    }
}

TEST(Backup, RestoreRefusesWhatIsNotThisMachinesBackup) {
    const std::string root = "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Video\\{GUID}";
    const std::string key = root + "\\0000]\n", value = "\"NV_Modes\"=\"x\"\n", good = "REGEDIT4\n\n" + key + value;
    const std::pair<std::string, const char*> cases[] = {
        {"", "readable"}, {"Windows Registry Editor Version 5.00\r\n\r\n" + key + value, "readable"}, {"REGEDIT4\n", "no key"},
        {good + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\n\"x\"=\"y\"\n", "more than one key"},
        {"REGEDIT4\n[-" + key.substr(1), "deletes"}, {"REGEDIT4\n[HKEY_CURRENT_USER" + key.substr(19) + value, "not under"},
        {"REGEDIT4\n" + root + "]\n" + value, "driver key"}, {"REGEDIT4\n" + key, "no value"},
        {good + "\"NV_Modes\"=-\n", "more than one value"}, {good + "\"NV25_Modes\"=\"y\"\n", "more than one value"},
        {"REGEDIT4\n" + key + "\"Device Description\"=\"x\"\n", "not a mode-list value"},
        {"REGEDIT4\n" + key + "\"NV_Modes\"=hex(0):\n", "not REG_SZ, REG_BINARY or REG_MULTI_SZ"},
        {good + std::string(kMaxBackupBytes, ';'), "larger than 64 KB"},
    };
    for (const auto& [text, reason] : cases) {
        BackupValue read{"untouched", std::nullopt};
        std::string error;
        EXPECT_FALSE(ReadBackupText(text, kKey, &read, &error)) << text.substr(0, 200);
        EXPECT_TRUE(error.find(reason) != std::string::npos && error.find('\n') == std::string::npos) << error;
        EXPECT_EQ(read.name, "untouched");
    }
    // Key names compare without regard to case, as Windows compares them; "" is no key detected.
    BackupValue read;
    std::string error;
    EXPECT_TRUE(ReadBackupText(good, "SYSTEM\\currentcontrolset\\Control\\Video\\{guid}\\0000", &read, &error));
    EXPECT_FALSE(ReadBackupText(good, "", &read, &error));
}

}  // namespace
}  // namespace hzwk
