// The hidden window of one applet: it owns the applet's notification icon for as long as it is
// loaded, decodes the icon's mouse messages and carries the applet's popup menu. The six
// applet windows are this one class, driven by the applet table.
#pragma once

#include <cstdint>
#include <string>

#include "applets/catalogue.h"
#include "core/forms.h"
#include "platform/system.h"

namespace applets {

inline constexpr std::uint32_t kIconCallbackMessage = 512;  // WM_MOUSEMOVE of pichook
inline constexpr std::int32_t kLeftButtonDown = 513;        // WM_LBUTTONDOWN
inline constexpr std::int32_t kRightButtonDown = 516;       // WM_RBUTTONDOWN
inline constexpr std::int32_t kRightButtonUp = 517;         // WM_RBUTTONUP

// An icon the notification area refused (at logon the shell may not be ready yet) is added
// again every few seconds, for about two minutes.
inline constexpr int kIconRetryTimer = 1;
inline constexpr unsigned kIconRetryMilliseconds = 4000;
inline constexpr int kIconRetries = 30;

// The icon's mouse message, carried in the horizontal coordinate (twips) of a mouse move on
// pichook: the coordinate in pixels, to the nearest whole number. 0 when it makes no sense.
std::int32_t DecodeMessage(float xTwips, float twipsPerPixel);

// The record handed to the notification area: tip is the name, one NUL, blanks to 64 bytes.
platform::NotifyIconData MakeIconRecord(platform::Handle pichook, platform::Handle icon,
                                        std::string_view tip);

forms::FormDesign AppletWindowDesign(const Applet& applet);

class AppletWindow : public forms::Form {
public:
    AppletWindow(forms::Runtime& runtime, const Applet& applet);

    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;
    void Form_Timer(int id) override;
    void TaskbarCreated() override;
    void IconChanged() override;
    std::string MyWindowsDir();
    void pichook_MouseMove(int button, int shift, float x, float y);
    void mnuOptions_Click();
    void mnuVKOptions_Click();
    void mnuAbout_Click();
    void mnuExit_Click();
    void mnuStart_Click();

    const platform::NotifyIconData& IconRecord() const { return record_; }
    bool Busy() const { return busy_; }
    bool IconShown() const { return iconShown_; }

private:
    // Reads the applet's run mode (writing the default when there is none) and loads its
    // options dialog hidden with that mode selected. Nothing for an applet without options.
    void LoadOptions();
    // Starts the applet's program, as a left click on the icon does.
    void LaunchProgram();
    // The popup menus: the mouse's at the pointer, the keyboard's at the icon with the launch
    // first. A menu asked for while one of this window's shows opens nothing.
    void MouseMenu();
    void KeyboardMenu();
    // Adds the icon, or changes it where the shell has it already, with the form's icon handle
    // of the moment; when the notification area refuses it, retries until it takes it.
    void AddIcon();
    bool TryAddIcon();

    const Applet& applet_;
    platform::NotifyIconData record_{};
    bool busy_ = false;
    bool menuShown_ = false;
    bool menuOnRelease_ = false;  // a right button was pressed: its menu opens on the release
    bool iconShown_ = false;
    int retriesLeft_ = 0;  // while above 0, the retry timer runs
    std::int32_t lastMessage_{};
};

}  // namespace applets
