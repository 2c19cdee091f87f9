// Adapters that let the console tool run the program's own logic without windows.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/prompt.h"
#include "os/os.h"
#include "registry/registry_port.h"

namespace hzwk::ctl {

// Passes reads through; writes are dropped (and reported as done) until opened up, so that
// looking at a machine never changes it.
class GuardedRegistry final : public RegistryAccess {
public:
    explicit GuardedRegistry(RegistryAccess& inner) : inner_(inner) {}
    void AllowWrites() { writable_ = true; }

    std::string GetStringValue(const std::string& k, const std::string& n, const std::string& d) override {
        return inner_.GetStringValue(k, n, d);
    }
    bool SaveStringValue(const std::string& k, const std::string& n, const std::string& t) override {
        return !writable_ || inner_.SaveStringValue(k, n, t);
    }
    int32_t GetDwordValue(const std::string& k, const std::string& n, int32_t d) override {
        return inner_.GetDwordValue(k, n, d);
    }
    bool SaveDwordValue(const std::string& k, const std::string& n, int32_t v) override {
        return !writable_ || inner_.SaveDwordValue(k, n, v);
    }
    bool DeleteRegValue(const std::string& k, const std::string& n) override {
        return !writable_ || inner_.DeleteRegValue(k, n);
    }
    RawQuery QueryRaw(const std::string& k, const std::string& n, uint32_t size) override {
        return inner_.QueryRaw(k, n, size);
    }
    std::vector<std::string> SubkeyNames(const std::string& k) override { return inner_.SubkeyNames(k); }
    bool SaveRawValue(const std::string& k, const std::string& n, const RegData& d) override {
        return !writable_ || inner_.SaveRawValue(k, n, d);
    }

private:
    RegistryAccess& inner_;
    bool writable_ = false;
};

// Console output through C stdio: libstdc++'s streams would import msvcrt functions
// that Windows 2000 lacks.
inline void Out(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }
inline void Err(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stderr); }

// Keeps the start-up report instead of rewriting debug.txt; everything else passes through,
// except that appends to debug.txt can be held back until the write they log is saved.
class ReportCapturingOs final : public Os {
public:
    explicit ReportCapturingOs(Os& inner) : inner_(inner) {}
    const std::string& Report() const { return report_; }
    void HoldAppends() { holding_ = true; }
    bool AppendHeld() { return held_.empty() || inner_.AppendDebugFile(held_); }

    std::string SystemDirectory() override { return inner_.SystemDirectory(); }
    bool ReadFileVersion(const std::string& p, FixedFileVersion& v) override { return inner_.ReadFileVersion(p, v); }
    std::vector<DisplayMode> DisplayModes() override { return inner_.DisplayModes(); }
    std::string ProgramFolder() override { return inner_.ProgramFolder(); }
    std::string LocalDateText() override { return inner_.LocalDateText(); }
    std::string LocalTimeText() override { return inner_.LocalTimeText(); }
    bool WriteDebugFile(const std::string& contents) override {
        report_ = contents;
        return true;
    }
    bool AppendDebugFile(const std::string& contents) override {
        if (!holding_) return inner_.AppendDebugFile(contents);
        held_ += contents;
        return true;
    }
    void Beep() override {}
    void OpenAddress(const std::string& a) override { inner_.OpenAddress(a); }
    bool ShowHelp(const std::string& p) override { return inner_.ShowHelp(p); }
    uint32_t TickCount() override { return inner_.TickCount(); }
    ClockTime LocalClock() override { return inner_.LocalClock(); }
    bool CreateNewFile(const std::string& f, const std::string& n, const std::string& b) override {
        return inner_.CreateNewFile(f, n, b);
    }
    std::vector<std::string> FileNames(const std::string& f, const std::string& p) override {
        return inner_.FileNames(f, p);
    }
    bool ReadSmallFile(const std::string& f, const std::string& n, size_t m, std::string* b) override {
        return inner_.ReadSmallFile(f, n, m, b);
    }
    bool RemoveFile(const std::string& f, const std::string& n) override { return inner_.RemoveFile(f, n); }
    std::string AppDataFolder() override { return inner_.AppDataFolder(); }
    std::string TempFolder() override { return inner_.TempFolder(); }
    bool MakeFolder(const std::string& p) override { return inner_.MakeFolder(p); }
    std::vector<DisplayAdapter> DisplayAdapters() override { return inner_.DisplayAdapters(); }

private:
    Os& inner_;
    std::string report_;
    bool holding_ = false;
    std::string held_;
};

// The user's command is the confirmation: every question is answered Yes, except one whose
// default is No (a warning), which only a forced command answers Yes. Errors go to
// standard error, other messages to standard output; while held, the other messages wait
// for Release, so that no success is reported before it is certain.
class ConsolePrompt final : public Prompt {
public:
    Answer Show(const std::string& text, Icon icon, Buttons buttons) override {
        if (buttons == Buttons::YesNo) return Answer::Yes;
        if (buttons == Buttons::YesNoDefaultNo) return force_ ? Answer::Yes : Answer::No;
        if (icon == Icon::Critical)
            Err(text + "\n");
        else if (holding_)
            held_ += text + "\n";
        else
            Out(text + "\n");
        return Answer::Ok;
    }
    void Hold() { holding_ = true; }
    void Force() { force_ = true; }
    void Release() {
        Out(held_);
        held_.clear();
    }

private:
    bool holding_ = false;
    bool force_ = false;
    std::string held_;
};

}  // namespace hzwk::ctl
