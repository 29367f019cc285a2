#include "applets/applet_window.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "applets/launch.h"
#include "core/basIni.h"
#include "core/window_names.h"

namespace applets {

std::int32_t DecodeMessage(float xTwips, float twipsPerPixel) {
    if (!(twipsPerPixel > 0))
        return 0;
    const double pixels = std::nearbyint(static_cast<double>(xTwips) / twipsPerPixel);
    if (!(pixels >= std::numeric_limits<std::int32_t>::min() &&
          pixels <= std::numeric_limits<std::int32_t>::max()))
        return 0;
    return static_cast<std::int32_t>(pixels);
}

platform::NotifyIconData MakeIconRecord(platform::Handle pichook, platform::Handle icon,
                                        std::string_view tip) {
    platform::NotifyIconData r;
    r.cbSize = platform::kNotifyIconDataSize;
    r.hWnd = pichook;
    r.uID = 1;
    r.uFlags = platform::kNifMessage | platform::kNifIcon | platform::kNifTip;
    r.uCallbackMessage = kIconCallbackMessage;
    r.hIcon = icon;
    std::memset(r.szTip, ' ', sizeof r.szTip);
    const std::size_t n = std::min(tip.size(), sizeof r.szTip - 1);
    std::memcpy(r.szTip, tip.data(), n);
    r.szTip[n] = '\0';
    return r;
}

forms::FormDesign AppletWindowDesign(const Applet& applet) {
    forms::FormDesign design{.name = std::string(applet.window),
                             .caption = "Icon",
                             .showInTaskbar = false,
                             .icon = applet.icon,
                             .controls = {{.name = "pichook", .kind = forms::Kind::PictureBox}},
                             .neverShown = true};
    design.controls.front().receivesNotices = true;  // the icon's callbacks come to pichook
    if (applet.HasOptions()) {
        design.popupMenu.push_back({"mnuOptions", std::string(applet.optionsCaption)});
        design.popupMenu.push_back({"mnuNothing", "-"});
    }
    design.popupMenu.push_back({"mnuVKOptions", "&Vornkit Options"});
    design.popupMenu.push_back({"mnuAbout", "&About Vornkit"});
    design.popupMenu.push_back({"mnuExit", "E&xit Vornkit"});
    design.popupMenu.push_back({"mnuNothing2", "-"});
    design.popupMenu.push_back({"mnuCancel", "&Cancel This Menu"});
    // The keyboard's menu starts with what a left click does, the one thing a keyboard could
    // not do otherwise.
    design.keyboardMenu = {{"mnuStart", "&Start " + std::string(applet.displayName)},
                           {"mnuNothing3", "-"}};
    design.keyboardMenu.insert(design.keyboardMenu.end(), design.popupMenu.begin(),
                               design.popupMenu.end());
    return design;
}

AppletWindow::AppletWindow(forms::Runtime& runtime, const Applet& applet)
    : Form(runtime, AppletWindowDesign(applet)), applet_(applet) {
    OnMouseMove("pichook", [this](const forms::MouseArgs& a) {
        pichook_MouseMove(a.button, a.shift, a.x, a.y);
    });
    if (applet.HasOptions())
        On("mnuOptions", forms::Event::Click, [this] { mnuOptions_Click(); });
    On("mnuVKOptions", forms::Event::Click, [this] { mnuVKOptions_Click(); });
    On("mnuAbout", forms::Event::Click, [this] { mnuAbout_Click(); });
    On("mnuExit", forms::Event::Click, [this] { mnuExit_Click(); });
    On("mnuStart", forms::Event::Click, [this] { mnuStart_Click(); });
}

void AppletWindow::Form_Load() {
    record_ = MakeIconRecord((*this)["pichook"].WindowHandle(), IconHandle(), applet_.displayName);
    AddIcon();  // a refused add is not reported: it is tried again
    Forms().Hide(Name());
    // Every icon is with the shell before any applet reads its run mode or loads its options
    // dialog: loaded by the start-up window, this waits until all the icons are in, and the
    // shell draws them meanwhile. Loaded alone (by the general options), it follows at once.
    forms::Runtime& forms = Forms();
    forms.AfterLoads([&forms, this, name = Name()] {
        if (forms.Find(name) == this)
            LoadOptions();
    });
}

void AppletWindow::LoadOptions() {
    if (!applet_.HasOptions())
        return;

    const std::string section(applet_.section);
    const std::string stored =
        basIni::ReadIniString(System(), section, "runmode", basIni::kSettingsFile);
    if (stored.empty())
        basIni::WriteIniString(System(), section, "runmode", "3", basIni::kSettingsFile);
    const std::string runmode = stored.empty() ? std::string("3") : stored;
    // Pre-select the stored style in the options dialog, which then exists hidden. The value
    // is the one just read, so the selection is made without writing it back.
    if (const std::string_view button = RunModeButton(applet_, runmode); !button.empty())
        Forms().Load(std::string(applet_.optionsDialog)).SetValueQuietly(button, 1);
}

void AppletWindow::Form_QueryUnload(int& /*cancel*/, int /*unloadMode*/) {
    if (retriesLeft_ > 0)
        Host().StopTimer(*this, kIconRetryTimer);
    retriesLeft_ = 0;
    record_.cbSize = platform::kNotifyIconDataSize;
    record_.hWnd = (*this)["pichook"].WindowHandle();
    record_.uID = 1;
    (void)System().Shell_NotifyIconA(platform::kNimDelete, record_);  // a failed delete is ignored
}

// The shell forgets every icon when it restarts: the icon is added again with the record kept
// since the load, and the icon the window has now, which a change of scale may have made anew.
void AppletWindow::TaskbarCreated() {
    AddIcon();
}

// Made again at a new DPI: the shell gets the new icon in place of the old one.
void AppletWindow::IconChanged() {
    AddIcon();
}

bool AppletWindow::TryAddIcon() {
    // An add that timed out may still have been carried out; the shell then refuses a second
    // add of the same icon, but takes a change to it.
    iconShown_ = System().Shell_NotifyIconA(platform::kNimAdd, record_) ||
                 System().Shell_NotifyIconA(platform::kNimModify, record_);
    return iconShown_;
}

void AppletWindow::AddIcon() {
    record_.hIcon = IconHandle();
    if (TryAddIcon()) {
        if (retriesLeft_ > 0)
            Host().StopTimer(*this, kIconRetryTimer);
        retriesLeft_ = 0;
    } else if (retriesLeft_ == 0) {
        retriesLeft_ = kIconRetries;
        Host().StartTimer(*this, kIconRetryTimer, kIconRetryMilliseconds);
    }
}

void AppletWindow::Form_Timer(int id) {
    if (id != kIconRetryTimer || retriesLeft_ == 0)
        return;  // a tick that was on its way when the timer stopped
    if (TryAddIcon() || --retriesLeft_ == 0) {
        Host().StopTimer(*this, kIconRetryTimer);
        retriesLeft_ = 0;
    }
}

std::string AppletWindow::MyWindowsDir() {
    char buffer[145] = {};
    const std::uint32_t n = System().GetWindowsDirectoryA(buffer, sizeof buffer);
    // When the directory does not fit, the platform writes nothing and returns the size it
    // would need: there is then no directory to give.
    if (n == 0 || n >= sizeof buffer)
        return {};
    return std::string(buffer, n);
}

void AppletWindow::pichook_MouseMove(int /*button*/, int /*shift*/, float x, float /*y*/) {
    lastMessage_ = DecodeMessage(x, Host().TwipsPerPixelX());
    // A notification that arrives while the popup menu or a message box of this window is
    // open re-enters here: the first such one is dropped.
    if (busy_) {
        busy_ = false;
        return;
    }
    busy_ = true;
    // For a version-0 icon the shell reports a key on the focused icon (Enter, Space, Shift+F10,
    // the Applications key) as a right button pressed and released: a press while no physical
    // button is down is the keyboard's. A mouse's menu opens when its button comes up, so that a
    // click elsewhere closes it, as context menus do.
    if (lastMessage_ == kLeftButtonDown) {
        LaunchProgram();
    } else if (lastMessage_ == kRightButtonDown) {
        menuOnRelease_ = Host().MouseButtonDown();
        if (!menuOnRelease_)
            KeyboardMenu();
    } else if (menuOnRelease_ && (lastMessage_ == kRightButtonUp || !Host().MouseButtonDown())) {
        MouseMenu();  // released, or up though the release was not reported
    }
    busy_ = false;
}

void AppletWindow::LaunchProgram() {
    LaunchApplet(applet_, System(),
                 applet_.launch == Launch::WindowsDirectory ? MyWindowsDir() : std::string());
}

void AppletWindow::MouseMenu() {
    menuOnRelease_ = false;
    if (menuShown_)
        return;
    menuShown_ = true;
    PopupMenu(Design().popupMenu);
    menuShown_ = false;
}

void AppletWindow::KeyboardMenu() {
    if (menuShown_)
        return;  // the shell may report one Enter twice
    menuShown_ = true;
    const bool chosen =
        PopupMenu(Design().keyboardMenu,
                  {.iconWindow = record_.hWnd, .iconId = record_.uID, .defaultItem = 0});
    menuShown_ = false;
    // Closed without a command: the keyboard goes back to the notification area, where the
    // user left it, to go on to the next icon.
    if (!chosen && Forms().Find(Name()) == this)
        (void)System().Shell_NotifyIconA(platform::kNimSetFocus, record_);
}

void AppletWindow::mnuOptions_Click() {
    Forms().Reopen(std::string(applet_.optionsDialog));
}
void AppletWindow::mnuVKOptions_Click() {
    Forms().Reopen(window_names::kOptions);
}
void AppletWindow::mnuAbout_Click() {
    Forms().Reopen(window_names::kAbout);
}
void AppletWindow::mnuStart_Click() {
    LaunchProgram();
}
void AppletWindow::mnuExit_Click() {
    Forms().Exit();
}

}  // namespace applets
