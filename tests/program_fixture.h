// The whole program run headless against the recording platform, with the settings file in a
// folder of its own.
#pragma once

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "applets/applet_window.h"
#include "fake_api.h"
#include "program/program.h"

namespace testing_support {

// The window messages the notification area reports, by their numbers on Windows: written out
// here, apart from the program's own constants, so that a wrong constant there fails a test.
namespace messages {
inline constexpr int kMouseMove = 0x0200;
inline constexpr int kLeftButtonDown = 0x0201;
inline constexpr int kRightButtonDown = 0x0204;
inline constexpr int kRightButtonUp = 0x0205;
}  // namespace messages

struct ProgramFixture {
    TempDir dir;
    FakeApi api{dir.Path()};
    program::Program program{api, api};

    void Ini(const std::string& text) {
        std::ofstream(dir.Path() / "vornkit.ini", std::ios::binary) << text;
    }
    std::string Ini() const {
        std::ifstream in(dir.Path() / "vornkit.ini", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    applets::AppletWindow& Window(const std::string& code) {
        const std::string window(applets::ByCode(code)->window);
        return static_cast<applets::AppletWindow&>(*program.Forms().Find(window));
    }
    // The user does mouse message `m` on the applet's icon. The shell reports it as the icon was
    // added: its callback message, to its window, for an icon it holds. Only a mouse move
    // reaches the window's handler, with `m` in place of the x position.
    void Notify(const std::string& code, int m) {
        if (!program.Forms().Find(std::string(applets::ByCode(code)->window)))
            return;  // the program has ended, or the applet is off: no icon to act on
        auto& w = Window(code);
        const platform::NotifyIconData& r = w.IconRecord();
        if (r.uCallbackMessage != messages::kMouseMove || api.icons.count({r.hWnd, r.uID}) == 0)
            return;
        for (const forms::Control& c : w.Controls())
            if (c.WindowHandle() == r.hWnd)
                program.Forms().Dispatch([&] {
                    w.MouseMoved(c.Name(), {0, 0, static_cast<float>(m) * api.TwipsPerPixelX(), 0});
                });
    }
    // The user presses a mouse button on the applet's icon.
    void LeftClick(const std::string& code) { Notify(code, messages::kLeftButtonDown); }
    // The user clicks the right button on the icon: pressed, then released.
    void RightClick(const std::string& code) {
        api.mouseButtonDown = true;
        Notify(code, messages::kRightButtonDown);
        api.mouseButtonDown = false;
        Notify(code, messages::kRightButtonUp);
    }
    // A key on the focused icon (Enter, Shift+F10): the shell reports a right button pressed
    // and released with no mouse button down.
    void Key(const std::string& code) {
        Notify(code, messages::kRightButtonDown);
        Notify(code, messages::kRightButtonUp);
    }
    // A dialog opened as the menu opens it, and what the user does in it.
    template <class Dialog>
    Dialog& Open(const std::string& name) {
        program.Forms().Reopen(name);
        return Find<Dialog>(name);
    }
    template <class Dialog>
    Dialog& Find(const std::string& name) {
        return static_cast<Dialog&>(*program.Forms().Find(name));
    }
    void User(const std::function<void()>& act) { program.Forms().Dispatch(act); }
};

}  // namespace testing_support
