// The dialogs used from the keyboard, on real windows: the Tab order, Enter and Esc, and an option
// chosen with the arrow keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "started.h"

namespace {

std::string Setting(const char* section, const char* key) {
    char value[256];
    GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, "vornkit.ini");
    return value;
}

struct Dialog : testing_support::Started<> {
    const char* name;
    explicit Dialog(const char* form) : name(form) { Open(form); }
    // The control holding the keyboard focus, by name.
    std::string Focused() {
        forms::Form* form = program.Forms().Find(name);
        if (!form)
            return "(dialog closed)";
        for (const forms::Control& c : form->Controls())
            if (reinterpret_cast<HWND>(c.WindowHandle()) == GetFocus())
                return c.Name();
        return "(none)";
    }
    void Press(WPARAM key) {
        PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageA(GetFocus(), WM_KEYUP, key, 0xC0000001);
        Pump();
    }
};

// Of an option group only the selected button is a stop: Tab never lands on another one.
TEST(Keyboard, TabGoesThroughEachDialogInItsOrderAndReachesAnOptionGroupThroughItsSelection) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"frmOptions",
         {"StartupCheck", "TECheck", "TDCheck", "TCCheck", "TPCheck", "TACheck", "TNCheck", "cmdOK",
          "cmdCancel", "StartupCheck"}},
        {"frmTEOpt", {"optMax", "cmdOK", "txtParam", "optMax"}},  // the stored style, "3"
        {"frmTDOpt", {"optMax", "cmdOK", "txtParam", "optMax"}},
    };
    for (const auto& [dialog, round] : cases) {
        Dialog d(dialog);
        std::vector<std::string> seen = {d.Focused()};
        while (seen.size() < round.size()) {
            d.Press(VK_TAB);
            seen.push_back(d.Focused());
        }
        EXPECT_EQ(seen, round) << dialog;
    }
}

TEST(Keyboard, EnterAndEscPressNoButton) {
    const std::pair<const char*, std::vector<const char*>> cases[] = {
        {"frmOptions", {"TECheck", "cmdOK", "cmdCancel"}}, {"frmTNOpt", {"cmdOK"}}};
    for (const auto& [dialog, focused] : cases) {
        Dialog d(dialog);
        for (const char* control : focused) {
            SCOPED_TRACE(std::string(dialog) + " " + control);
            SetFocus(d.Window(dialog, control));
            d.Press(VK_RETURN);
            d.Press(VK_ESCAPE);
            EXPECT_TRUE(d.program.Forms().IsLoaded(dialog));
            EXPECT_EQ(Setting("VORNKIT", "StartupCheck"), "(none)");  // OK would store it
        }
    }
}

TEST(Keyboard, AnOptionChosenWithTheArrowKeysIsStored) {
    Dialog d("frmTCOpt");
    ASSERT_EQ(d.Focused(), "optMax");
    d.Press(VK_UP);
    EXPECT_EQ(d.Focused(), "optMin");
    EXPECT_EQ(Setting("VORNCON", "runmode"), "2");
    d.Press(VK_UP);
    EXPECT_EQ(Setting("VORNCON", "runmode"), "1");
    d.Press(VK_DOWN);
    d.Press(VK_DOWN);
    EXPECT_EQ(d.Focused(), "optMax");
    EXPECT_EQ(Setting("VORNCON", "runmode"), "3");
}

}  // namespace
