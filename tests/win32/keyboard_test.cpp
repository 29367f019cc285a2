// The dialogs used from the keyboard, on real windows: the Tab order, Enter and Esc, and an option
// chosen with the arrow keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "started.h"

namespace {

std::string Setting(const char* section, const char* key) {
    char value[256];
    GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, "vornkit.ini");
    return value;
}

struct Dialog : testing_support::Started {
    std::string name;
    explicit Dialog(std::string form) : name(std::move(form)) {
        program.Forms().Reopen(name);
        Pump();
    }
    // The control holding the keyboard focus, by name.
    std::string Focused() {
        const HWND focus = GetFocus();
        forms::Form* form = program.Forms().Find(name);
        if (!form)
            return "(dialog closed)";
        for (const forms::Control& c : form->Controls())
            if (reinterpret_cast<HWND>(c.WindowHandle()) == focus)
                return c.Name();
        return "(none)";
    }
    void Press(WPARAM key) {
        PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageA(GetFocus(), WM_KEYUP, key, 0xC0000001);
        Pump();
    }
    void FocusOn(const char* control) {
        if (forms::Form* form = program.Forms().Find(name))
            SetFocus(reinterpret_cast<HWND>((*form)[control].WindowHandle()));
        Pump();
    }
    std::vector<std::string> TabRound(int presses) {
        std::vector<std::string> seen = {Focused()};
        for (int i = 0; i < presses; ++i) {
            Press(VK_TAB);
            seen.push_back(Focused());
        }
        return seen;
    }
};

TEST(Keyboard, TabGoesThroughTheGeneralOptionsInTheirOrder) {
    Dialog d("frmOptions");
    EXPECT_EQ(d.TabRound(9), (std::vector<std::string>{"StartupCheck", "TECheck", "TDCheck",
                                                       "TCCheck", "TPCheck", "TACheck", "TNCheck",
                                                       "cmdOK", "cmdCancel", "StartupCheck"}));
}

// Of an option group only the selected button is a stop: Tab never lands on another one.
TEST(Keyboard, TabReachesAnOptionGroupThroughItsSelection) {
    Dialog d("frmTEOpt");  // the icon's load selected the stored style, "3"
    EXPECT_EQ(d.TabRound(3), (std::vector<std::string>{"optMax", "cmdOK", "txtParam", "optMax"}));
}

TEST(Keyboard, EnterAndEscPressNoButton) {
    Dialog d("frmOptions");
    for (const char* control : {"TECheck", "cmdOK", "cmdCancel"}) {
        SCOPED_TRACE(control);
        d.FocusOn(control);
        d.Press(VK_RETURN);
        d.Press(VK_ESCAPE);
        EXPECT_TRUE(d.program.Forms().IsLoaded("frmOptions"));
        EXPECT_EQ(Setting("VORNKIT", "StartupCheck"), "(none)");  // OK would store it
    }
    Dialog applet("frmTNOpt");
    applet.FocusOn("cmdOK");
    applet.Press(VK_RETURN);
    applet.Press(VK_ESCAPE);
    EXPECT_TRUE(applet.program.Forms().IsLoaded("frmTNOpt"));
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
