// The unit tests' platform: the portable system and headless windows, with every call that
// matters written to one log and the platform's answers open to scripting.
#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/forms.h"
#include "hosts/portable/portable_system.h"
#include "hosts/portable/portable_window_host.h"

namespace testing_support {

// A folder of its own, removed with everything in it.
struct TempDir {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("vornkit-test-" + std::to_string(std::random_device{}()) +
                                        std::to_string(std::random_device{}()));
    TempDir() { std::filesystem::create_directories(path); }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    const std::filesystem::path& Path() const { return path; }
};

// A predefined root key as the platform hands it to a program of this build: the 32-bit value,
// sign-extended in a 64-bit program. As text, the way the log shows a key.
inline std::string RootKeyText(std::uint32_t value) {
    if (sizeof(platform::Handle) == 8)
        return std::to_string(0xFFFFFFFF00000000ull | value);
    return std::to_string(value);
}

class FakeApi : public hosts::portable::PortableSystem, public hosts::portable::PortableWindowHost {
public:
    // Windows's own programs where Windows keeps them: three in the system folder, Explorer in
    // the Windows folder.
    explicit FakeApi(const std::filesystem::path& windowsDir) : PortableSystem(windowsDir) {
        systemDir = "C:\\WINDOWS\\system32";
        systemWindowsDir = "C:\\WINDOWS";
        files = {systemDir + "\\command.com", systemDir + "\\control.exe",
                 systemDir + "\\notepad.exe", systemWindowsDir + "\\explorer.exe"};
    }

    std::vector<std::string> log;
    bool logReads = false;
    bool startSucceeds = true;
    // The registry's answers to an open for writing (a standard user is refused one under
    // HKEY_LOCAL_MACHINE) and to a write; reads get what the registry holds.
    std::optional<std::int32_t> openResult, setResult;

    std::uint32_t GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                           const std::string& def, char* buffer, std::uint32_t size,
                                           const std::string& file) override {
        if (logReads)
            log.push_back("read " + section + " " + key);
        return PortableSystem::GetPrivateProfileStringA(section, key, def, buffer, size, file);
    }
    bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                    const std::string& value, const std::string& file) override {
        log.push_back("write " + section + " " + key + "=" + value);
        return PortableSystem::WritePrivateProfileStringA(section, key, value, file);
    }
    std::int32_t RegOpenKeyExA(platform::Handle key, const std::string& subKey,
                               std::uint32_t options, std::uint32_t access,
                               platform::Handle* result) override {
        log.push_back("reg.open " + std::to_string(key) + " " + subKey + " " +
                      std::to_string(access));
        return openResult && access == platform::kKeyWrite
                   ? *openResult
                   : PortableSystem::RegOpenKeyExA(key, subKey, options, access, result);
    }
    std::int32_t RegSetValueExW(platform::Handle key, const std::string& name,
                                std::uint32_t reserved, std::uint32_t type, const std::string& data,
                                std::uint32_t length) override {
        log.push_back("reg.set " + name + "=" + data + " type " + std::to_string(type) +
                      " length " + std::to_string(length));
        return setResult ? *setResult
                         : PortableSystem::RegSetValueExW(key, name, reserved, type, data, length);
    }
    std::int32_t RegQueryValueExW(platform::Handle key, const std::string& name,
                                  std::uint32_t* type, std::string* data) override {
        log.push_back("reg.query " + name);
        return PortableSystem::RegQueryValueExW(key, name, type, data);
    }
    std::int32_t RegCloseKey(platform::Handle key) override {
        log.push_back("reg.close");
        return PortableSystem::RegCloseKey(key);
    }
    int refusedAdds = 0;            // this many adds fail, as when the shell is not ready
    platform::Handle lastIcon = 0;  // the icon handed in the last call
    bool Shell_NotifyIconA(std::uint32_t message, const platform::NotifyIconData& r) override {
        lastIcon = r.hIcon;
        const char* what = message == platform::kNimAdd        ? "icon.add "
                           : message == platform::kNimModify   ? "icon.modify "
                           : message == platform::kNimSetFocus ? "icon.focus "
                                                               : "icon.delete ";
        log.push_back(what + std::string(r.szTip));
        if (message == platform::kNimAdd && refusedAdds > 0) {
            --refusedAdds;
            return false;
        }
        return PortableSystem::Shell_NotifyIconA(message, r);
    }
    // "start PROGRAM [COMMAND LINE] STYLE", PROGRAM left out when the command line names it.
    bool StartProgram(const std::string& program, const std::string& commandLine,
                      std::int32_t style) override {
        log.push_back("start " + (program.empty() ? "" : program + " ") + "[" + commandLine + "] " +
                      std::to_string(style));
        return startSucceeds;
    }
    void Beep() override { log.push_back("beep"); }
    void MsgBox(const std::string& prompt, int style, const std::string& title) override {
        // The style's buttons and icon by their numbers on Windows (OK alone is 0).
        const std::string styleText = style == 0x10     ? "ok+stop"
                                      : style == 0x1030 ? "ok+exclamation+system-modal"
                                      : style == 0      ? "ok"
                                                        : std::to_string(style);
        log.push_back("msgbox " + title + " " + styleText + " " + prompt);
        if (auto hook = std::exchange(whileMessageShown, nullptr))
            hook();
    }
    std::function<void()> whileMessageShown;  // what the user does meanwhile, once
    void SetTopmost(forms::Form&, bool on) override {
        log.push_back(on ? "topmost on" : "topmost off");
    }
    void EndProgram() override {
        log.push_back("end");
        PortableSystem::EndProgram();
    }
    platform::Handle CreateFormWindow(forms::Form& form) override {
        log.push_back("load " + form.Name());
        return PortableWindowHost::CreateFormWindow(form);
    }
    void DestroyFormWindow(forms::Form& form) override {
        log.push_back("unload " + form.Name());
        PortableWindowHost::DestroyFormWindow(form);
    }
    void BringToFront(forms::Form& form) override { log.push_back("front " + form.Name()); }
    std::vector<std::string> updates;  // what the windows were told to show, in turn
    void UpdateControl(forms::Form& form, forms::Control& c) override {
        updates.push_back(form.Name() + " " + c.Name() + " " + std::to_string(c.Value()) + " [" +
                          c.Text() + "]");
    }
    void ShowFormWindow(forms::Form& form, bool visible) override {
        log.push_back((visible ? "show " : "hide ") + form.Name());
    }
    void StopTimer(forms::Form& form, int id) override {
        log.push_back("timer.stop " + form.Name() + " " + std::to_string(id));
        PortableWindowHost::StopTimer(form, id);
    }
    std::function<void()> whileMenuShown;  // what the user does meanwhile, once
    std::string menuChoice;                // the caption the user chooses; "" closes the menu
    // Logs "menu" (at the pointer) or "menu@icon" and the items' captions, "-" for a separator,
    // the default one marked "*"; returns the chosen one's index.
    int TrackPopupMenu(forms::Form&, const std::vector<forms::MenuItem>& items,
                       const forms::MenuPlacement& at) override {
        std::string shown = at.iconWindow ? "menu@icon" : "menu";
        int chosen = -1;
        for (std::size_t i = 0; i < items.size(); ++i) {
            shown += (static_cast<int>(i) == at.defaultItem ? "|*" : "|") + items[i].caption;
            if (items[i].caption == menuChoice)
                chosen = static_cast<int>(i);
        }
        log.push_back(shown);
        if (auto hook = std::exchange(whileMenuShown, nullptr))
            hook();
        return chosen;
    }

    // The log entries that start with one of `prefixes`, in their order.
    std::vector<std::string> Only(std::initializer_list<std::string_view> prefixes) const {
        std::vector<std::string> out;
        for (const auto& l : log)
            if (std::any_of(prefixes.begin(), prefixes.end(),
                            [&](auto p) { return l.starts_with(p); }))
                out.push_back(l);
        return out;
    }
    std::vector<std::string> Only(std::string_view prefix) const { return Only({prefix}); }
};

}  // namespace testing_support
