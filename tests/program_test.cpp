// The whole program run headless against the recording platform: start-up, its windows' designs,
// and a close request or command to each kind of window.
#include <gtest/gtest.h>

#include <algorithm>

#include "program_fixture.h"

namespace {

using testing_support::ProgramFixture;

// The general settings' defaults live in memory; the file gets only a run mode an applet lacks.
// Each options dialog is loaded hidden with the stored style preselected, when it offers that
// exact choice, without writing it back.
TEST(Startup, DefaultsLiveInMemoryAndTheFileGetsOnlyAMissingRunMode) {
    ProgramFixture f;
    f.Ini(
        "[VORNDOS]\r\nrunmode=1\r\n[VORNEXP]\r\nrunmode=2\r\n[VORNCON]\r\nrunmode=\r\n"
        "[VORNNOT]\r\nrunmode=3.0\r\n");
    f.program.Start();
    EXPECT_EQ(f.api.Only("write"), std::vector<std::string>{"write VORNCON runmode=3"});
    auto& forms = f.program.Forms();
    EXPECT_FALSE(forms.IsLoaded("frmTDOpt"));  // the DOS dialog has no normal choice
    EXPECT_FALSE(forms.IsLoaded("frmTNOpt"));
    ASSERT_TRUE(forms.IsLoaded("frmTEOpt") && forms.IsLoaded("frmTCOpt"));
    EXPECT_EQ((*forms.Find("frmTEOpt"))["optMin"].Value(), 1);
    EXPECT_EQ((*forms.Find("frmTCOpt"))["optMax"].Value(), 1);
    for (const std::string& name : forms.RegisteredNames())
        EXPECT_FALSE(forms.IsLoaded(name) && forms.Find(name)->Visible()) << name;
}

// An applet runs only when its key is exactly "1"; a missing or empty one counts as "1".
TEST(Startup, RunsTheAppletsWhoseKeyIsExactlyOne) {
    ProgramFixture f;
    f.Ini("[VORNKIT]\r\nTPCheck=01\r\nTDCheck=0\r\nTACheck=\r\nTECheck=1.0\r\n");
    f.program.Start();
    EXPECT_EQ(f.api.Only("icon.add"),
              (std::vector<std::string>{"icon.add Vorn Calculator", "icon.add Vorn Control Panel",
                                        "icon.add Vorn Notepad"}));
}

// Before the last icon: the general settings, the start-up window, the applet windows. Then each
// applet with options reads its run mode and loads its dialog hidden.
TEST(Startup, HandsEveryIconToTheShellBeforeTheRunModesAndOptionsDialogs) {
    ProgramFixture f;
    f.api.logReads = true;
    f.program.Start();
    std::string order;  // i: an icon added; r: anything else but the general settings
    for (const auto& l : f.api.Only({"icon.add", "read VORN", "write", "load frm"}))
        if (!l.starts_with("read VORNKIT") && !(l.starts_with("load") && !l.ends_with("Opt")))
            order += l.starts_with("icon.add") ? 'i' : 'r';
    EXPECT_LT(order.rfind('i'), order.find('r')) << order;
    for (const char* dialog : {"frmTCOpt", "frmTDOpt", "frmTEOpt", "frmTNOpt"})
        EXPECT_TRUE(f.program.Forms().IsLoaded(dialog)) << dialog;
}

// Every control lies inside its frame and its window. Under high contrast a designed colour behind
// the system's text colour can be unreadable (white on pale blue): every one gives way, and comes
// back when it is turned off.
TEST(Windows, EveryWindowsDesignKeepsToTheScreenAndToHighContrast) {
    ProgramFixture f;
    f.program.Start();
    const forms::Colours system{};
    int designed = 0;
    for (const std::string& name : f.program.Forms().RegisteredNames()) {
        SCOPED_TRACE(name);
        forms::Form& form = f.program.Forms().Load(name);
        const forms::FormDesign& w = form.Design();
        EXPECT_EQ(form.FormColours(true).back, system.back);
        EXPECT_EQ(form.FormColours(false).back, w.backColour);
        for (const forms::Control& c : form.Controls()) {
            SCOPED_TRACE(c.Name());
            const forms::ControlDesign& d = c.Design();
            const forms::ControlDesign* frame =
                d.container.empty() ? nullptr : &form[d.container].Design();
            if (w.clientWidth != 0) {  // a window never shown has no size to keep to
                EXPECT_GE(std::min(d.left, d.top), 0);
                EXPECT_LE(d.left + d.width, frame ? frame->width : w.clientWidth);
                EXPECT_LE(d.top + d.height, frame ? frame->height : w.clientHeight);
            }
            const forms::Colours on = form.ControlColours(c, true);
            const forms::Colours off = form.ControlColours(c, false);
            EXPECT_TRUE(on.fore == system.fore && on.back == system.back);
            EXPECT_EQ(off.fore, d.foreColour);
            EXPECT_EQ(off.back,
                      d.backColour != forms::kDefaultColour ? d.backColour : w.backColour);
            designed += off.fore != system.fore || off.back != system.back;
        }
    }
    EXPECT_GE(designed, 7);  // the About box's three, the four dialogs' pictures
}

// The Tab key visits each dialog's controls in this order, the option buttons of a group in
// theirs (labels, frames and pictures take no focus).
TEST(Windows, TabVisitsEachDialogsStopsInOrder) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"frmOptions",
         {"StartupCheck", "TECheck", "TDCheck", "TCCheck", "TPCheck", "TACheck", "TNCheck", "cmdOK",
          "cmdCancel"}},
        {"frmTDOpt", {"optMin", "optMax", "cmdOK", "txtParam"}},
        {"frmTEOpt", {"optNorm", "optMin", "optMax", "cmdOK", "txtParam"}},
        {"frmTCOpt", {"optNorm", "optMin", "optMax", "cmdOK"}},
        {"frmTNOpt", {"optNorm", "optMin", "optMax", "cmdOK"}},
    };
    ProgramFixture f;
    for (const auto& [dialog, stops] : cases) {
        std::vector<std::string> got;
        for (const forms::Control* c : f.program.Forms().Load(dialog).InTabOrder())
            if (c->Design().kind >= forms::Kind::CheckBox &&
                c->Design().kind <= forms::Kind::TextBox)
                got.push_back(c->Name());
        EXPECT_EQ(got, stops) << dialog;
    }
}

// What each window shows of itself: a title bar with a close box, a taskbar button, or nothing
// at all (the windows the user never sees, and the About box).
TEST(Windows, EachHasItsTitleBarAndTaskbarButtonOrNone) {
    ProgramFixture f;
    for (const std::string& name : f.program.Forms().RegisteredNames()) {
        SCOPED_TRACE(name);
        const forms::FormDesign& d = f.program.Forms().Load(name).Design();
        const bool hidden = name == "frmMain" || name == "frmIco" || name.ends_with("Icon");
        const bool framed = name == "frmOptions" || name.ends_with("Opt");
        EXPECT_EQ(d.neverShown, hidden);
        EXPECT_EQ(!d.neverShown && d.border == forms::Border::FixedSingle && d.controlBox, framed);
        EXPECT_EQ(d.showInTaskbar, name == "frmOptions");
    }
}

const std::vector<std::string> kExitOrder = {"unload frmMain",
                                             "icon.delete Vorn Calculator",
                                             "unload frmTAIcon",
                                             "icon.delete Vorn DOS",
                                             "unload frmTDIcon",
                                             "unload frmTDOpt",
                                             "end"};

// The Calculator and DOS-prompt applets running, the log cleared after start-up.
struct TwoApplets : ProgramFixture {
    TwoApplets() {
        Ini("[VORNKIT]\r\nTCCheck=0\r\nTECheck=0\r\nTNCheck=0\r\nTPCheck=0\r\n");
        program.Start();
        api.log.clear();
    }
};

// A close request (as an installer or taskkill sends it) to a window the user never sees ends the
// program. A system command to such a window (Alt+F4 or Alt+Space after its popup menu brought it
// to the front, or a stray message) is taken and does nothing: restore, maximize or minimize would
// put the empty window on the screen. Only the screen saver, the monitor's power and the Start
// menu go on to the window system. A dialog closes on either and leaves the rest to the window
// system.
TEST(SessionEnd, ClosingAWindowEndsTheProgramOnlyThroughAWindowTheUserNeverSees) {
    using namespace forms;
    const std::uint32_t commands[] = {kScClose,    kScRestore,     kScMaximize | 2, kScMinimize,
                                      kScSize,     kScMove,        kScKeyMenu,      kScScreenSave,
                                      kScTaskList, kScMonitorPower};
    for (const std::string window :
         {"frmMain", "frmTAIcon", "frmTDIcon", "frmOptions", "frmTDOpt", "frmAbout"}) {
        const bool dialog = window.find("Icon") == std::string::npos && window != "frmMain";
        for (std::uint32_t command : commands) {
            SCOPED_TRACE(window + " command " + std::to_string(command));
            TwoApplets f;
            if (dialog) {
                f.program.Forms().Reopen(window);
                f.api.log.clear();
            }
            forms::Form& form = *f.program.Forms().Find(window);
            bool taken = false;
            f.program.Forms().Dispatch([&] { taken = form.SystemCommand(command); });
            const bool closes = dialog && command == kScClose;
            const bool systemWide =
                command == kScScreenSave || command == kScTaskList || command == kScMonitorPower;
            EXPECT_EQ(taken, dialog ? closes : !systemWide);
            EXPECT_EQ(f.api.log, closes ? std::vector<std::string>{"unload " + window}
                                        : std::vector<std::string>{});
            EXPECT_EQ(f.program.Forms().IsLoaded(window), !closes);
        }
        SCOPED_TRACE(window + " close request");
        TwoApplets f;
        if (dialog) {
            f.program.Forms().Reopen(window);
            f.api.log.clear();
        }
        forms::Form& form = *f.program.Forms().Find(window);
        f.program.Forms().Dispatch([&] { form.CloseRequested(); });
        EXPECT_EQ(f.api.log, dialog ? std::vector<std::string>{"unload " + window} : kExitOrder);
        EXPECT_EQ(f.api.ended, !dialog);
    }
    // A session end that another program called off changes nothing; one that happens ends the
    // program as its exit does.
    for (bool ending : {false, true}) {
        TwoApplets f;
        f.program.Forms().SessionEnded(ending);
        EXPECT_EQ(f.api.log, ending ? kExitOrder : std::vector<std::string>{});
    }
}

}  // namespace
