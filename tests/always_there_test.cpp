// The icons stay there whenever the user looks: an add the shell refuses is tried again, and the
// program ends, icons and all, when the session does.
#include <gtest/gtest.h>

#include "program_fixture.h"

namespace {

using testing_support::ProgramFixture;

// Only the Calculator applet runs, so that every icon call is its own.
struct OneApplet : ProgramFixture {
    OneApplet() {
        Ini("[VORNKIT]\r\nTCCheck=0\r\nTDCheck=0\r\nTECheck=0\r\nTNCheck=0\r\nTPCheck=0\r\n");
    }
    void Tick() {
        program.Forms().Dispatch([&] { Window("TA").Form_Timer(applets::kIconRetryTimer); });
    }
    void ShellRestarts() {
        api.icons.clear();
        program.Forms().Dispatch([&] { Window("TA").TaskbarCreated(); });
    }
    int Adds() const { return static_cast<int>(api.Only("icon.add").size()); }
    bool Retrying() const { return !api.timers.empty(); }
};

TEST(IconRetry, AnAddRefusedAtStartIsRetriedUntilTheShellTakesIt) {
    OneApplet f;
    f.api.refusedAdds = 3;
    f.program.Start();
    EXPECT_EQ(f.api.Only("timer.start"), std::vector<std::string>{"timer.start frmTAIcon 1 4000"});
    EXPECT_FALSE(f.Window("TA").IconShown());
    f.Tick();
    f.Tick();
    EXPECT_TRUE(f.Retrying());
    f.Tick();  // the fourth add is taken
    EXPECT_TRUE(f.Window("TA").IconShown());
    EXPECT_FALSE(f.Retrying());
    EXPECT_EQ(f.api.icons.size(), 1u);
    f.Tick();  // a tick already on its way adds nothing
    EXPECT_EQ(f.Adds(), 4);
}

TEST(IconRetry, GivesUpSilentlyAfterTheLimit) {
    OneApplet f;
    f.api.refusedAdds = 1000;
    f.program.Start();
    for (int i = 1; i < applets::kIconRetries; ++i)
        f.Tick();
    EXPECT_TRUE(f.Retrying());
    f.Tick();
    EXPECT_FALSE(f.Retrying());
    f.Tick();
    EXPECT_EQ(f.Adds(), 1 + applets::kIconRetries);
    EXPECT_TRUE(f.api.Only("msgbox").empty());
    EXPECT_TRUE(f.api.icons.empty());
}

TEST(IconRetry, NeverAddsAnIconTwice) {
    {
        SCOPED_TRACE("the shell restarts while the add is being retried");
        OneApplet f;
        f.api.refusedAdds = 1;
        f.program.Start();
        f.ShellRestarts();
        EXPECT_FALSE(f.Retrying());
        f.Tick();
        EXPECT_EQ(f.Adds(), 2);
        EXPECT_EQ(f.api.icons.size(), 1u);
    }
    {
        SCOPED_TRACE("an add reported as failed that the shell carried out all the same");
        OneApplet f;
        f.api.refusedAdds = 1;
        f.program.Start();
        f.api.icons.insert({f.Window("TA")["pichook"].WindowHandle(), 1});
        f.Tick();  // refused as a second add; the icon answers to a change
        EXPECT_TRUE(f.Window("TA").IconShown());
        EXPECT_FALSE(f.Retrying());
    }
    {
        SCOPED_TRACE("a shell restart adds the icon anew, once; a failed re-add is retried");
        OneApplet f;
        f.program.Start();
        f.api.refusedAdds = 1;
        f.ShellRestarts();
        EXPECT_TRUE(f.Retrying());
        f.Tick();
        EXPECT_EQ(f.api.icons.size(), 1u);
        EXPECT_EQ(f.Adds(), 3);
    }
}

TEST(IconRetry, AShellRestartDuringTheLastRetryStopsTheTimer) {
    OneApplet f;
    f.api.refusedAdds = 1000;
    f.program.Start();
    for (int i = 1; i < applets::kIconRetries; ++i)
        f.Tick();
    f.api.refusedAdds = 0;
    f.ShellRestarts();
    EXPECT_TRUE(f.Window("TA").IconShown());
    EXPECT_FALSE(f.Retrying());
}

TEST(IconRetry, UnloadingTheWindowStopsTheRetries) {
    OneApplet f;
    f.api.refusedAdds = 1;
    f.program.Start();
    f.program.Forms().Unload("frmTAIcon");
    EXPECT_EQ(f.api.Only("timer.stop"), std::vector<std::string>{"timer.stop frmTAIcon 1"});
    EXPECT_FALSE(f.Retrying());
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

TEST(SessionEnd, TheSessionEndingEndsTheProgramAsItsExitDoes) {
    for (bool ending : {true, false}) {
        SCOPED_TRACE(ending);
        TwoApplets f;
        f.program.Forms().Dispatch([&] { f.program.Forms().SessionEnded(ending); });
        EXPECT_EQ(f.api.log, ending ? kExitOrder : std::vector<std::string>{});
        EXPECT_EQ(f.api.ended, ending);
    }
}

TEST(SessionEnd, ClosingAWindowTheUserNeverSeesEndsTheProgram) {
    for (const char* window : {"frmMain", "frmTAIcon", "frmTDIcon"}) {
        SCOPED_TRACE(window);
        TwoApplets f;
        forms::Form& form = *f.program.Forms().Find(window);
        f.program.Forms().Dispatch([&] { form.CloseRequested(); });
        EXPECT_EQ(f.api.log, kExitOrder);
    }
    {
        SCOPED_TRACE("the close box of a dialog closes the dialog alone");
        ProgramFixture f;
        f.program.Start();
        f.program.Forms().Reopen("frmOptions");
        f.api.log.clear();
        forms::Form& dialog = *f.program.Forms().Find("frmOptions");
        f.program.Forms().Dispatch([&] { dialog.CloseRequested(); });
        EXPECT_EQ(f.api.log, std::vector<std::string>{"unload frmOptions"});
        EXPECT_FALSE(f.api.ended);
    }
}

// Alt+F4 reaches an applet window after its popup menu brought it to the front; the user means
// the window they were working in, and the program must not end.
TEST(SessionEnd, TheCloseCommandClosesOnlyAWindowTheUserSees) {
    for (const char* window : {"frmMain", "frmTAIcon", "frmTDIcon"}) {
        SCOPED_TRACE(window);
        TwoApplets f;
        forms::Form& form = *f.program.Forms().Find(window);
        f.program.Forms().Dispatch([&] { form.CloseCommand(); });
        EXPECT_EQ(f.api.log, std::vector<std::string>{});
        EXPECT_FALSE(f.api.ended);
        EXPECT_TRUE(f.program.Forms().IsLoaded(window));
    }
    for (const char* dialog : {"frmOptions", "frmTDOpt", "frmAbout"}) {
        SCOPED_TRACE(dialog);
        TwoApplets f;
        f.program.Forms().Reopen(dialog);
        f.api.log.clear();
        forms::Form& form = *f.program.Forms().Find(dialog);
        f.program.Forms().Dispatch([&] { form.CloseCommand(); });
        EXPECT_EQ(f.api.log, std::vector<std::string>{"unload " + std::string(dialog)});
        EXPECT_FALSE(f.api.ended);
    }
}

}  // namespace
