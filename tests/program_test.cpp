// Start-up, the applet windows and exit, run headless against the recording platform.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/basIni.h"
#include "program_fixture.h"

namespace {

using testing_support::ProgramFixture;

TEST(Startup, LoadsExactlyTheAppletsWhoseKeyIsOne) {
    const struct {
        const char* ini;
        std::vector<std::string> windows;
    } cases[] = {
        {"", {"frmTAIcon", "frmTCIcon", "frmTDIcon", "frmTEIcon", "frmTNIcon", "frmTPIcon"}},
        {"[VORNKIT]\r\nTDCheck=0\r\n",
         {"frmTAIcon", "frmTCIcon", "frmTEIcon", "frmTNIcon", "frmTPIcon"}},
        {"[VORNKIT]\r\nTPCheck=01\r\nTACheck=1.0\r\nTCCheck=\r\n",
         {"frmTCIcon", "frmTDIcon", "frmTEIcon", "frmTNIcon"}},
        {"[vornkit]\r\ntecheck=0\r\nTnCheck = 0 \r\n",
         {"frmTAIcon", "frmTCIcon", "frmTDIcon", "frmTPIcon"}},
        {"[VORNKIT]\r\nTACheck=0\r\nTCCheck=0\r\nTDCheck=0\r\nTECheck=0\r\nTNCheck=0\r\n"
         "TPCheck=0\r\n",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini);
        ProgramFixture f;
        f.Ini(c.ini);
        f.program.Start();
        EXPECT_EQ(f.Loaded(), c.windows);
        EXPECT_TRUE(f.program.Forms().IsLoaded("frmMain"));
        EXPECT_EQ(f.api.icons.size(), c.windows.size());
        for (const std::string& name : c.windows)
            EXPECT_FALSE(f.program.Forms().Find(name)->Visible()) << name;
    }
}

TEST(Startup, DefaultsLiveInMemoryAndTheFileGetsOnlyRunModes) {
    ProgramFixture f;
    f.api.logReads = true;
    f.program.Start();
    const auto reads = f.api.Only("read VORNKIT");
    EXPECT_EQ(reads, (std::vector<std::string>{"read VORNKIT TACheck", "read VORNKIT TCCheck",
                                               "read VORNKIT TDCheck", "read VORNKIT TECheck",
                                               "read VORNKIT TNCheck", "read VORNKIT TPCheck",
                                               "read VORNKIT StartupCheck"}));
    for (auto& [key, field] : f.program.Settings().Fields())
        EXPECT_EQ(*field, "1") << key;
    EXPECT_EQ(f.Ini(),
              "[VORNCON]\r\nrunmode=3\r\n[VORNDOS]\r\nrunmode=3\r\n[VORNEXP]\r\nrunmode=3\r\n"
              "[VORNNOT]\r\nrunmode=3\r\n");
}

TEST(Startup, HandsEveryIconToTheShellBeforeTheRunModesAndOptionsDialogs) {
    for (const char* ini : {"", "[VORNDOS]\r\nrunmode=2\r\n"}) {
        SCOPED_TRACE(ini);
        ProgramFixture f;
        f.Ini(ini);
        f.api.logReads = true;
        f.program.Start();
        const auto log = f.api.Only({"icon.add", "read VORN", "write", "load frm"});
        const auto lastIcon = std::find_if(log.rbegin(), log.rend(), [](const std::string& l) {
            return l.rfind("icon.add", 0) == 0;
        });
        ASSERT_NE(lastIcon, log.rend());
        // Before the last icon: the general settings, the start-up window, the applet windows.
        for (auto l = log.begin(); l != lastIcon.base(); ++l)
            EXPECT_TRUE(l->rfind("icon.add", 0) == 0 || l->rfind("read VORNKIT", 0) == 0 ||
                        (l->rfind("load", 0) == 0 && l->find("Opt") == std::string::npos))
                << *l;
        // Then each applet with options still reads its run mode and loads its dialog hidden.
        for (const char* dialog : {"frmTCOpt", "frmTDOpt", "frmTEOpt", "frmTNOpt"})
            EXPECT_TRUE(f.program.Forms().IsLoaded(dialog)) << dialog;
    }
}

TEST(AppletWindow, PreselectsTheStoredStyleWithoutWriting) {
    ProgramFixture f;
    f.Ini(
        "[VORNDOS]\r\nrunmode=1\r\n[VORNEXP]\r\nrunmode=2\r\n[VORNCON]\r\nrunmode=\r\n"
        "[VORNNOT]\r\nrunmode=3.0\r\n");
    f.program.Start();
    auto& forms = f.program.Forms();
    EXPECT_FALSE(forms.IsLoaded("frmTDOpt"));  // the DOS dialog has no normal choice
    ASSERT_TRUE(forms.IsLoaded("frmTEOpt"));
    EXPECT_EQ((*forms.Find("frmTEOpt"))["optMin"].Value(), 1);
    EXPECT_FALSE(forms.Find("frmTEOpt")->Visible());
    ASSERT_TRUE(forms.IsLoaded("frmTCOpt"));  // empty: "3" written and selected
    EXPECT_EQ((*forms.Find("frmTCOpt"))["optMax"].Value(), 1);
    EXPECT_FALSE(forms.IsLoaded("frmTNOpt"));
    EXPECT_EQ(f.api.Only("write"), std::vector<std::string>{"write VORNCON runmode=3"});
}

TEST(AppletWindow, TheIconsTipAndMenu) {
    ProgramFixture f;
    f.program.Start();
    const auto& r = f.Window("TE").IconRecord();
    EXPECT_EQ(r.hWnd, f.Window("TE")["pichook"].WindowHandle());
    EXPECT_EQ(std::string(r.szTip, 64), std::string("Vorn Explore") + '\0' + std::string(51, ' '));

    f.Notify("TC", 516);
    EXPECT_EQ(f.api.lastMenu, (std::vector<std::string>{
                                  "Vorn Control &Options", "-", "&Vornkit Options",
                                  "&About Vornkit", "E&xit Vornkit", "-", "&Cancel This Menu"}));
    f.Notify("TA", 516);
    EXPECT_EQ(f.api.lastMenu,
              (std::vector<std::string>{"&Vornkit Options", "&About Vornkit", "E&xit Vornkit", "-",
                                        "&Cancel This Menu"}));
}

TEST(AppletWindow, OnlyLeftButtonDownLaunches) {
    ProgramFixture f;
    f.program.Start();
    for (int m : {512, 513, 514, 515, 514, 517})
        f.Notify("TN", m);
    EXPECT_EQ(f.api.Only("start"), std::vector<std::string>{"start [notepad.exe] 3"});
}

TEST(AppletWindow, ReentryDuringTheMenu) {
    ProgramFixture f;
    f.program.Start();
    f.api.whileMenuShown = [&] {
        f.Notify("TE", 513);  // dropped: clears the flag
        f.Notify("TE", 513);  // handled
        EXPECT_FALSE(f.Window("TE").Busy());
    };
    f.Notify("TE", 516);
    EXPECT_EQ(f.api.Only("start").size(), 1u);
    EXPECT_FALSE(f.Window("TE").Busy());
    f.Notify("TE", 513);
    EXPECT_EQ(f.api.Only("start").size(), 2u);
}

TEST(Launch, FailuresBeepShowTheMessageAndLeaveTheIcon) {
    ProgramFixture f;
    f.program.Start();
    f.Ini("[VORNEXP]\r\nparameters=/e\r\n");  // runmode removed after start-up
    f.Notify("TE", 513);
    f.api.startSucceeds = false;
    f.Notify("TA", 513);
    const std::string message =
        "msgbox Error 4144 This applet will not work on your system; please uncheck it from the "
        "Vornkit options menu.";
    EXPECT_EQ(f.api.Only("beep").size(), 2u);
    EXPECT_EQ(f.api.Only("msgbox"), (std::vector<std::string>{message, message}));
    EXPECT_EQ(f.api.Only("start").size(), 1u);  // only the calculator got as far as starting
    EXPECT_EQ(f.api.icons.size(), 6u);
    EXPECT_FALSE(f.Window("TE").Busy());
    f.api.startSucceeds = true;
    f.Ini("[VORNEXP]\r\nrunmode=2\r\nparameters=/e,c:\\\r\n");
    f.Notify("TE", 513);
    EXPECT_EQ(f.api.Only("start").back(), "start [explorer.exe /e,c:\\] 2");
}

TEST(AppletWindow, EachMenuItemOpensItsOwnWindow) {
    const struct {
        const char* code;
        const char* item;
        const char* shown;
    } cases[] = {
        {"TD", "mnuOptions", "show frmTDOpt"},
        {"TC", "mnuOptions", "show frmTCOpt"},
        {"TA", "mnuVKOptions", "show frmOptions"},
        {"TN", "mnuAbout", "show frmAbout"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " " + c.item);
        ProgramFixture f;
        f.program.Start();
        f.api.menuChoices = {c.item};
        f.Notify(c.code, 516);
        EXPECT_EQ(f.api.Only("show"), std::vector<std::string>{c.shown});
    }
}

TEST(Windows, OnlyTheGeneralOptionsDialogHasATaskbarButton) {
    ProgramFixture f;
    for (const std::string& name : f.program.Forms().RegisteredNames()) {
        SCOPED_TRACE(name);
        EXPECT_EQ(f.program.Forms().Load(name).Design().showInTaskbar, name == "frmOptions");
    }
}

TEST(Windows, EveryControlLiesInsideItsFrameAndItsWindow) {
    ProgramFixture f;
    for (const std::string& name : f.program.Forms().RegisteredNames()) {
        forms::Form& form = f.program.Forms().Load(name);
        if (form.Design().clientWidth == 0)
            continue;  // a window never shown has no size to keep to
        for (const forms::Control& c : form.Controls()) {
            SCOPED_TRACE(name + " " + c.Name());
            const forms::ControlDesign& d = c.Design();
            const forms::ControlDesign* frame =
                d.container.empty() ? nullptr : &form[d.container].Design();
            EXPECT_GE(std::min(d.left, d.top), 0);
            EXPECT_LE(d.left + d.width, frame ? frame->width : form.Design().clientWidth);
            EXPECT_LE(d.top + d.height, frame ? frame->height : form.Design().clientHeight);
        }
    }
}

TEST(Launch, AWindowStyleTheStartRefusesStartsNothing) {
    for (const char* runmode : {"0", "12", "-1"}) {
        SCOPED_TRACE(runmode);
        ProgramFixture f;
        f.program.Start();
        f.Ini(std::string("[VORNNOT]\r\nrunmode=") + runmode + "\r\n");
        f.Notify("TN", 513);
        EXPECT_TRUE(f.api.Only("start").empty());
        EXPECT_EQ(f.api.Only("msgbox").size(), 1u);
    }
}

TEST(Launch, CdPlayerAndCalculatorStartFromTheWindowsDirectoryAsNormalWindows) {
    ProgramFixture f;
    f.program.Start();
    f.Notify("TP", 513);
    f.Notify("TA", 513);
    const std::string dir = f.dir.Path().string();
    EXPECT_EQ(f.api.Only("start"), (std::vector<std::string>{"start [" + dir + "\\cdplayer.exe] 1",
                                                             "start [" + dir + "\\calc.exe] 1"}));
    // A Windows directory too long for the window's 145-character buffer gives no directory,
    // and the launch fails as any other does rather than start a program from the drive's root.
    f.api.windowsDir = std::string(145, 'w');
    f.Notify("TA", 513);
    EXPECT_EQ(f.api.Only("start").size(), 2u);
    EXPECT_EQ(f.api.Only("msgbox").size(), 1u);
    f.api.windowsDir = std::string(144, 'w');
    f.Notify("TA", 513);
    EXPECT_EQ(f.api.Only("start").back(), "start [" + std::string(144, 'w') + "\\calc.exe] 1");
}

TEST(Launch, TheIconStaysBusyWhileTheFailureMessageShows) {
    ProgramFixture f;
    f.program.Start();
    f.api.startSucceeds = false;
    f.api.whileMessageShown = [&] {
        EXPECT_TRUE(f.Window("TA").Busy());
        f.Notify("TA", 513);  // a click meanwhile is dropped, and clears the flag
    };
    f.Notify("TA", 513);
    EXPECT_EQ(f.api.Only("msgbox").size(), 1u);
    EXPECT_FALSE(f.Window("TA").Busy());
    f.Notify("TA", 513);
    EXPECT_EQ(f.api.Only("msgbox").size(), 2u);
}

TEST(Settings, AValueReadsWholeUpTo254Characters) {
    ProgramFixture f;
    for (std::size_t length : {253u, 254u, 255u, 300u}) {
        SCOPED_TRACE(length);
        f.Ini("[VORNDOS]\r\nparameters=" + std::string(length, 'p') + "\r\nrunmode=1\r\n");
        EXPECT_EQ(basIni::ReadIniString(f.api, "VORNDOS", "parameters", basIni::kSettingsFile),
                  std::string(std::min<std::size_t>(length, 254), 'p'));
    }
}

// A platform that reports more characters than the buffer holds is not trusted.
TEST(Settings, ACountBeyondTheBufferReadsAsNothing) {
    struct Api : testing_support::FakeApi {
        using FakeApi::FakeApi;
        std::uint32_t claimed = 0;
        std::uint32_t GetPrivateProfileStringA(const std::string&, const std::string&,
                                               const std::string&, char* buffer, std::uint32_t size,
                                               const std::string&) override {
            std::fill(buffer, buffer + size - 1, 'x');
            return claimed;
        }
    };
    testing_support::TempDir dir;
    Api api(dir.Path());
    for (std::uint32_t claimed : {254u, 255u, 70000u}) {
        SCOPED_TRACE(claimed);
        api.claimed = claimed;
        EXPECT_EQ(basIni::ReadIniString(api, "S", "k", "v.ini"),
                  claimed == 254 ? std::string(254, 'x') : "");
    }
}

TEST(Exit, UnloadsEveryLoadedWindowInOrderThenEnds) {
    ProgramFixture f;
    f.Ini("[VORNKIT]\r\nTCCheck=0\r\n");
    f.program.Start();
    f.api.menuChoices = {"mnuAbout"};
    f.Notify("TD", 516);
    f.api.log.clear();
    f.api.menuChoices = {"mnuExit"};
    f.Notify("TN", 516);
    EXPECT_EQ(f.api.log,
              (std::vector<std::string>{
                  "unload frmAbout", "unload frmMain", "icon.delete Vorn Calculator",
                  "unload frmTAIcon", "icon.delete Vorn DOS", "unload frmTDIcon", "unload frmTDOpt",
                  "icon.delete Vorn Explore", "unload frmTEIcon", "unload frmTEOpt",
                  "icon.delete Vorn Notepad", "unload frmTNIcon", "unload frmTNOpt",
                  "icon.delete Vorn CD Player", "unload frmTPIcon", "end"}));
    EXPECT_TRUE(f.api.icons.empty());
}

}  // namespace
