// Start-up steps for the benchmark. Only the vornkit_bench build (VORNKIT_BENCH) has them: its
// entry runs the program on the system and the window host below, which time every settings
// read and write, icon call, window made, message filter change and timer the start-up makes,
// and marks its own steps. With "--steps FILE" it writes them to FILE once the start-up is done,
// one line per step: what, detail, then the performance counter at its beginning and its end
// (the machine's counter, which the benchmark's start-up probe reads too).
#pragma once

#ifdef VORNKIT_BENCH

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "hosts/win32/win32_system.h"
#include "hosts/win32/win32_window_host.h"

namespace bench {

struct Step {
    const char* what;
    std::string detail;
    LONGLONG begin, end;
};

inline std::vector<Step>& Steps() {
    static std::vector<Step> steps;
    return steps;
}

inline LONGLONG Counter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// Times the scope it lives in as one step.
class Timed {
public:
    explicit Timed(const char* what, std::string detail = {})
        : what_(what), detail_(std::move(detail)), begin_(Counter()) {}
    ~Timed() { Steps().push_back({what_, std::move(detail_), begin_, Counter()}); }
    Timed(const Timed&) = delete;
    Timed& operator=(const Timed&) = delete;

private:
    const char* what_;
    std::string detail_;
    LONGLONG begin_;
};

class StepSystem : public hosts::win32::Win32System {
    using Base = hosts::win32::Win32System;

public:
    std::uint32_t GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                           const std::string& def, char* buffer, std::uint32_t size,
                                           const std::string& file) override {
        Timed t("settings read", section + "/" + key);
        return Base::GetPrivateProfileStringA(section, key, def, buffer, size, file);
    }
    bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                    const std::string& value, const std::string& file) override {
        Timed t("settings written", section + "/" + key);
        return Base::WritePrivateProfileStringA(section, key, value, file);
    }
    bool Shell_NotifyIconA(std::uint32_t message, const platform::NotifyIconData& record) override {
        Timed t("icon call", std::to_string(message));
        return Base::Shell_NotifyIconA(message, record);
    }
};

// The message filter's functions, timed: found at run time like the product's.
struct TimedFilter {
    static inline hosts::win32::MessageFilter real;
    static BOOL WINAPI ForWindow(HWND hwnd, UINT message, DWORD action, void* status) {
        Timed t("message filter", "window");
        return real.forWindow(hwnd, message, action, status);
    }
    static BOOL WINAPI ForProcess(UINT message, DWORD action) {
        Timed t("message filter", "process");
        return real.forProcess(message, action);
    }
    static hosts::win32::MessageFilter OfSystem() {
        Timed t("message filter looked up");
        real = hosts::win32::MessageFilter::OfSystem();
        hosts::win32::MessageFilter timed;
        timed.forWindow = real.forWindow ? ForWindow : nullptr;
        timed.forProcess = real.forProcess ? ForProcess : nullptr;
        return timed;
    }
};

class StepHost : public hosts::win32::Win32WindowHost {
    using Base = hosts::win32::Win32WindowHost;

public:
    explicit StepHost(HINSTANCE instance) : Base(instance, TimedFilter::OfSystem()) {}
    platform::Handle CreateFormWindow(forms::Form& form) override {
        Timed t("window made", form.Name());
        return Base::CreateFormWindow(form);
    }
    void ShowFormWindow(forms::Form& form, bool visible) override {
        Timed t(visible ? "window shown" : "window hidden", form.Name());
        Base::ShowFormWindow(form, visible);
    }
    void SetTopmost(forms::Form& form, bool on) override {
        Timed t("window placed", form.Name());
        Base::SetTopmost(form, on);
    }
    void MoveFormWindow(forms::Form& form, int leftTwips, int topTwips) override {
        Timed t("window moved", form.Name());
        Base::MoveFormWindow(form, leftTwips, topTwips);
    }
    forms::Size FormOuterSize(forms::Form& form) override {
        Timed t("window size asked", form.Name());
        return Base::FormOuterSize(form);
    }
    int ScreenWidthTwips() override {
        Timed t("screen size asked");
        return Base::ScreenWidthTwips();
    }
    int ScreenHeightTwips() override {
        Timed t("screen size asked");
        return Base::ScreenHeightTwips();
    }
    void StartTimer(forms::Form& form, int id, unsigned milliseconds) override {
        Timed t("timer started", form.Name());
        Base::StartTimer(form, id, milliseconds);
    }
};

inline bool WriteSteps(const char* path) {
    FILE* f = std::fopen(path, "w");
    if (!f)
        return false;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::fprintf(f, "frequency\t\t%lld\t%lld\n", frequency.QuadPart, frequency.QuadPart);
    for (const Step& s : Steps())
        std::fprintf(f, "%s\t%s\t%lld\t%lld\n", s.what, s.detail.c_str(), s.begin, s.end);
    return std::fclose(f) == 0;
}

}  // namespace bench

#endif
