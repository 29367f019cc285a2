// The applet windows: the mouse message carried in the icon's callback, clicks that re-enter its
// handler, and an icon the notification area refuses, which is tried again until it takes it.
#include <gtest/gtest.h>

#include <cmath>

#include "program_fixture.h"

namespace {

using testing_support::ProgramFixture;

TEST(DecodeMessage, TwipsBackToTheMouseMessageAtAnyScale) {
    // Twips per pixel as the window system has them: 1440 over the display's dots per inch,
    // exact at 96, 120, 144 and 192 dpi, not at 110 or 168 (175 %, common on laptops).
    for (int dpi : {96, 110, 120, 144, 168, 192}) {
        const float tpp = 1440.0f / static_cast<float>(dpi);
        SCOPED_TRACE(dpi);
        for (int m : {512, 513, 514, 515, 516, 517})
            EXPECT_EQ(applets::DecodeMessage(static_cast<float>(m) * tpp, tpp), m);
    }
    EXPECT_EQ(applets::DecodeMessage(std::nanf(""), 15.0f), 0);
    EXPECT_EQ(applets::DecodeMessage(1e30f, 15.0f), 0);
    EXPECT_EQ(applets::DecodeMessage(7695.0f, 0.0f), 0);
}

// The record the shell gets: the icon by its window and number 1, its callback message, the
// icon and the tip, the tip ended and padded with blanks to its 64 bytes.
TEST(MakeIconRecord, NamesTheIconItsMessageAndItsTip) {
    const platform::NotifyIconData r = applets::MakeIconRecord(7, 9, "Vorn DOS");
    EXPECT_EQ(r.cbSize, platform::kNotifyIconDataSize);
    EXPECT_EQ(r.hWnd, 7u);
    EXPECT_EQ(r.uID, 1u);
    EXPECT_EQ(r.uFlags, 7u);  // message, icon and tip
    EXPECT_EQ(r.uCallbackMessage, 0x200u);
    EXPECT_EQ(r.hIcon, 9u);
    EXPECT_EQ(std::string(r.szTip, sizeof r.szTip),
              "Vorn DOS" + std::string(1, '\0') + std::string(55, ' '));
}

// A click that arrives while the icon's menu or failure message is open re-enters the handler:
// the first one is dropped, and the icon takes clicks again afterwards.
TEST(AppletWindow, AClickWhileItsMenuOrMessageShowsIsDroppedOnce) {
    ProgramFixture f;
    f.program.Start();
    f.api.whileMenuShown = [&] {
        f.LeftClick("TE");  // dropped: clears the flag
        f.LeftClick("TE");  // handled
    };
    f.RightClick("TE");
    EXPECT_EQ(f.api.Only("start").size(), 1u);
    f.api.startSucceeds = false;
    f.api.whileMessageShown = [&] {
        EXPECT_TRUE(f.Window("TA").Busy());
        f.LeftClick("TA");
    };
    f.LeftClick("TA");
    EXPECT_EQ(f.api.Only("msgbox").size(), 1u);
    f.LeftClick("TE");
    f.LeftClick("TA");
    EXPECT_EQ(f.api.Only("msgbox").size(), 3u);
    // A double click starts the program once: of its four notices only the press acts.
    const std::size_t started = f.api.Only("start").size();
    for (int m : {0x201, 0x202, 0x203, 0x202})
        f.Notify("TN", m);
    EXPECT_EQ(f.api.Only("start").size(), started + 1);
}

// Each icon's menu holds its items, separators included, and each item runs its own command: the
// dialogs open afresh (an open one is unloaded first) and in front, exit ends the program. The
// mouse's menu opens at the pointer once the button is released; the keyboard's at the icon,
// with the launch first, as its default.
TEST(AppletWindow, EachMenuItemRunsItsCommand) {
    const std::vector<std::string> common = {"&Vornkit Options", "&About Vornkit", "E&xit Vornkit",
                                             "-", "&Cancel This Menu"};
    for (const applets::Applet& a : applets::kApplets) {
        std::vector<std::string> items = common;
        if (a.HasOptions())
            items.insert(items.begin(), {std::string(a.optionsCaption), "-"});
        const std::string dialog(a.optionsDialog), start = "&Start " + std::string(a.displayName);
        const std::pair<std::string, std::vector<std::string>> cases[] = {
            {"&Vornkit Options", {"load frmOptions", "topmost on", "show frmOptions"}},
            {"&About Vornkit", {"load frmAbout", "topmost on", "show frmAbout"}},
            {"E&xit Vornkit", {"end"}},
            {"&Cancel This Menu", {}},
            {"-", {}},
            {std::string(a.optionsCaption),
             {"unload " + dialog, "load " + dialog, "topmost on", "show " + dialog}},
            {start, {"start"}},
        };
        for (bool key : {false, true}) {
            for (const auto& [choice, effect] : cases) {
                if (choice.empty() || (choice == start && !key))
                    continue;  // no options item; no launch in the mouse's menu
                SCOPED_TRACE(std::string(a.code) + (key ? " key " : " mouse ") + choice);
                ProgramFixture f;
                f.program.Start();
                f.api.menuChoice = choice;
                f.api.log.clear();
                key ? f.Key(std::string(a.code)) : f.RightClick(std::string(a.code));
                std::string menu = key ? "menu@icon|*" + start + "|-" : "menu";
                for (const std::string& item : items)
                    menu += "|" + item;
                EXPECT_EQ(f.api.Only("menu"), std::vector<std::string>{menu});
                std::vector<std::string> got =
                    f.api.ended ? f.api.Only("end")
                                : f.api.Only({"load", "unload", "show", "topmost", "end"});
                if (choice == start)
                    got = {f.api.Only("start").size() == 1 ? "start" : "(none)"};
                EXPECT_EQ(got, effect);
                // Closed with no command, the keyboard's menu gives the focus back to the tray.
                const bool command = !effect.empty();
                EXPECT_EQ(f.api.Only("icon.focus").size(), key && !command ? 1u : 0u);
            }
        }
    }
}

// The mouse's menu waits for the button to come up, reported or not. The shell may report one
// Enter twice: a press inside the open menu opens no second one. The launch chosen from the
// keyboard's menu fails as a left click does.
TEST(AppletWindow, OneClickOrKeyOpensOneMenu) {
    ProgramFixture f;
    f.program.Start();
    f.api.mouseButtonDown = true;
    f.Notify("TD", testing_support::messages::kRightButtonDown);
    EXPECT_TRUE(f.api.Only("menu").empty());  // still held
    f.Notify("TD", testing_support::messages::kMouseMove);
    EXPECT_TRUE(f.api.Only("menu").empty());
    f.api.mouseButtonDown = false;
    f.Notify("TD", testing_support::messages::kMouseMove);  // up, with no release reported
    EXPECT_EQ(f.api.Only("menu").size(), 1u);
    f.Notify("TD", testing_support::messages::kRightButtonUp);  // late: nothing more
    EXPECT_EQ(f.api.Only("menu").size(), 1u);

    f.api.whileMenuShown = [&] {
        f.Key("TN");  // its press is dropped as the menu's first re-entering notice
        f.Key("TN");  // a second Enter: no second menu
    };
    f.Key("TN");
    EXPECT_EQ(f.api.Only("menu@icon").size(), 1u);

    f.api.startSucceeds = false;
    f.api.menuChoice = "&Start Vorn Notepad";
    f.Key("TN");
    EXPECT_EQ(f.api.Only({"start", "beep", "msgbox"}).size(), 3u);
    EXPECT_FALSE(f.Window("TN").Busy());
}

// Only the Calculator applet runs, so that every icon call is its own.
struct OneApplet : ProgramFixture {
    explicit OneApplet(int refusedAdds) {
        Ini("[VORNKIT]\r\nTCCheck=0\r\nTDCheck=0\r\nTECheck=0\r\nTNCheck=0\r\nTPCheck=0\r\n");
        api.refusedAdds = refusedAdds;
        program.Start();
    }
    void Tick(int times = 1) {
        for (int i = 0; i < times; ++i)
            User([&] { Window("TA").Form_Timer(applets::kIconRetryTimer); });
    }
    void ShellRestarts() {
        api.icons.clear();
        User([&] { Window("TA").TaskbarCreated(); });
    }
    int Adds() const { return static_cast<int>(api.Only("icon.add").size()); }
    bool Retrying() const { return !api.timers.empty(); }
};

// The icon made again at a new DPI, or once the shell comes back at one, reaches the shell in the
// icon's record: changed where the shell has it still, added where it has not.
TEST(IconRetry, AnIconMadeAgainReachesTheShell) {
    OneApplet f(0);
    applets::AppletWindow& w = f.Window("TA");
    for (const platform::Handle icon : {0x5150u, 0x5151u}) {
        SCOPED_TRACE(icon);
        w.SetIconHandle(icon);
        icon == 0x5150u ? f.User([&] { w.IconChanged(); }) : f.ShellRestarts();
        EXPECT_EQ(f.api.lastIcon, icon);
        EXPECT_EQ(w.IconRecord().hIcon, icon);
        EXPECT_TRUE(w.IconShown());
    }
    EXPECT_EQ(f.api.Only("icon.modify").size(), 1u);
    EXPECT_EQ(f.Adds(), 3);  // the first add, the one refused as a second, the shell's new one
}

TEST(IconRetry, TheRetriesEndSilentlyAtTheLimitOrWithTheWindow) {
    {
        OneApplet f(1000);
        f.Tick(applets::kIconRetries - 1);
        EXPECT_TRUE(f.Retrying());
        f.Tick(2);
        EXPECT_FALSE(f.Retrying());
        EXPECT_EQ(f.Adds(), 1 + applets::kIconRetries);
        EXPECT_TRUE(f.api.Only("msgbox").empty());
        EXPECT_TRUE(f.api.icons.empty());
    }
    {
        SCOPED_TRACE("a shell restart during the last retry");
        OneApplet f(1000);
        f.Tick(applets::kIconRetries - 1);
        f.api.refusedAdds = 0;
        f.ShellRestarts();
        EXPECT_TRUE(f.Window("TA").IconShown());
        EXPECT_FALSE(f.Retrying());
    }
    {
        SCOPED_TRACE("the window unloaded");
        OneApplet f(1);
        f.program.Forms().Unload("frmTAIcon");
        EXPECT_EQ(f.api.Only("timer.stop"), std::vector<std::string>{"timer.stop frmTAIcon 1"});
        EXPECT_FALSE(f.Retrying());
    }
}

TEST(IconRetry, NeverAddsAnIconTwice) {
    {
        SCOPED_TRACE("the shell restarts while the add is being retried");
        OneApplet f(1);
        f.ShellRestarts();
        EXPECT_FALSE(f.Retrying());
        f.Tick();
        EXPECT_EQ(f.Adds(), 2);
        EXPECT_EQ(f.api.icons.size(), 1u);
    }
    {
        SCOPED_TRACE("an add reported as failed that the shell carried out all the same");
        OneApplet f(1);
        f.api.icons.insert({f.Window("TA")["pichook"].WindowHandle(), 1});
        f.Tick();  // refused as a second add; the icon answers to a change
        EXPECT_TRUE(f.Window("TA").IconShown());
        EXPECT_FALSE(f.Retrying());
    }
    {
        SCOPED_TRACE("a shell restart adds the icon anew, once; a failed re-add is retried");
        OneApplet f(0);
        f.api.refusedAdds = 1;
        f.ShellRestarts();
        EXPECT_TRUE(f.Retrying());
        f.Tick();
        EXPECT_EQ(f.api.icons.size(), 1u);
        EXPECT_FALSE(f.Retrying());
        EXPECT_EQ(f.Adds(), 3);
    }
}

}  // namespace
