// The general options dialog: what it shows, what OK stores and in which order, the start-up
// command line.
#include <gtest/gtest.h>

#include <algorithm>

#include "options/basReg.h"
#include "options/frmOptions.h"
#include "program_fixture.h"

namespace {

const std::vector<std::string> kBoxes = {"TECheck", "TDCheck", "TCCheck",
                                         "TPCheck", "TACheck", "TNCheck"};

struct Fixture : testing_support::ProgramFixture {
    explicit Fixture(const std::string& ini = "", bool runKey = true) {
        Ini(ini);
        if (runKey)
            api.CreateRegistryKey(basReg::kRunKey);
        api.appPath = "C:\\VORNKIT";
        api.exeName = "Vornkit";
        program.Start();
        Open<options::frmOptions>("frmOptions");
        api.log.clear();
    }
    options::frmOptions& Dialog() { return Find<options::frmOptions>("frmOptions"); }
    void Click(const std::string& box, int value) {
        User([&] { Dialog().UserClicked(box, value); });
    }
    void Press(const std::string& button) {
        User([&] { Dialog().UserClickedButton(button); });
    }
    // The boxes' values in tab order: the start-up box, then the applets'.
    std::string Ticks() {
        std::string out = std::to_string(Dialog()["StartupCheck"].Value());
        for (const auto& box : kBoxes)
            out += std::to_string(Dialog()[box].Value());
        return out;
    }
};

TEST(frmOptions, LoadTicksOnlyExactOnes) {
    Fixture f("[VORNKIT]\r\nTDCheck=01\r\nTCCheck=2\r\nTACheck=0\r\nStartupCheck=1.0\r\n");
    f.program.Settings().TPCheck = "";  // not reachable from the file: empty reads as "1"
    f.program.Forms().Reopen("frmOptions");
    EXPECT_EQ(f.Ticks(), "0100001");
}

// A refused OK changes nothing in memory: a fresh dialog shows the boxes as they were.
TEST(frmOptions, ARefusedOkKeepsTheAppletsAndARegistryFailureDoesNotStopOk) {
    Fixture f;
    for (const auto& key : kBoxes)
        f.Click(key, 0);
    f.Press("cmdOK");
    EXPECT_EQ(f.api.Only("write"), std::vector<std::string>{"write VORNKIT StartupCheck=1"});
    // The message is not hidden behind the topmost dialog, which goes back on top after it.
    const std::string refused =
        "msgbox Vornkit ok+stop You must leave at least one applet active in Vornkit.";
    EXPECT_EQ(f.api.Only({"topmost", "msgbox"}),
              (std::vector<std::string>{"topmost off", refused, "topmost on"}));
    f.program.Forms().Reopen("frmOptions");
    EXPECT_EQ(f.Ticks(), "1111111");

    // Without the Run key the failure is shown and OK goes on.
    Fixture g("", false);
    g.Press("cmdOK");
    EXPECT_EQ(g.api.Only("msgbox"),
              std::vector<std::string>{"msgbox Registry Open Error ok+stop Bad Key Name"});
    EXPECT_EQ(g.api.Only("write").size(), 7u);
    EXPECT_FALSE(g.program.Forms().IsLoaded("frmOptions"));
}

// A standard user may not write the start-up value: OK then says nothing when the value already
// holds the user's choice, and shows the refusal as ever when it does not.
TEST(frmOptions, ARefusedStartupWriteIsQuietWhenTheValueAlreadySaysTheChoice) {
    const std::string command = "c:\\vornkit\\vornkit.exe";
    const std::string denied = "msgbox Registry Open Error ok+stop Access to this key is denied";
    const struct {
        int startup;
        const char* stored;  // nullptr: no such value
        bool refusedOpen;    // else the write itself is refused
        bool shown;
    } cases[] = {
        {1, command.c_str(), true, false},
        {1, command.c_str(), false, false},
        {1, "c:\\old\\vornkit.exe", true, true},
        {1, "C:\\VORNKIT\\VORNKIT.EXE", true, true},
        {1, nullptr, true, true},
        {0, "", true, false},
        {0, nullptr, true, false},
        {0, command.c_str(), true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.startup) + " " + (c.stored ? c.stored : "(none)") +
                     (c.refusedOpen ? " open" : " write"));
        Fixture f;
        if (c.stored)
            basReg::SetRegistryValue(f.api, basReg::kRunKey, basReg::kRunValue, c.stored);
        (c.refusedOpen ? f.api.openResult : f.api.setResult) = 5;
        f.Click("StartupCheck", c.startup);
        f.api.log.clear();
        f.Press("cmdOK");
        const std::string shown =
            c.refusedOpen ? denied
                          : "msgbox Registry Write Error ok+stop Access to this key is denied";
        EXPECT_EQ(f.api.Only("msgbox"),
                  c.shown ? std::vector<std::string>{shown} : std::vector<std::string>{});
        EXPECT_EQ(f.api.Only("write").size(), 7u);  // OK goes on as ever
        EXPECT_EQ(
            f.api.Only("write VORNKIT StartupCheck"),
            std::vector<std::string>{"write VORNKIT StartupCheck=" + std::to_string(c.startup)});
        // The value is read with the right to read it alone, which a standard user has.
        const std::string read = "reg.open " + testing_support::RootKeyText(0x80000002u) +
                                 " SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run 1";
        EXPECT_EQ(std::count(f.api.log.begin(), f.api.log.end(), read), 1);
    }
}

// While a registry error is shown the user reopens the dialog from the tray: the old OK must
// neither apply its discarded boxes nor close the new dialog when the message is dismissed.
TEST(frmOptions, AnOkOverTakenByAFreshDialogStopsAtTheRegistry) {
    Fixture f("", false);
    f.Click("TNCheck", 0);
    f.api.whileMessageShown = [&] { f.program.Forms().Reopen("frmOptions"); };
    f.Press("cmdOK");
    ASSERT_TRUE(f.program.Forms().IsLoaded("frmOptions"));
    EXPECT_EQ(f.Dialog()["TNCheck"].Value(), 1);
    EXPECT_TRUE(f.program.Forms().IsLoaded("frmTNIcon"));
    EXPECT_EQ(f.api.Only("write"), std::vector<std::string>{"write VORNKIT StartupCheck=1"});
}

// OK starts a newly ticked applet before it stops a cleared one, and stores what the boxes
// show: a hand-edited value that shows cleared ("01", "2") as "0", starting nothing.
TEST(frmOptions, OkStartsTheNewAppletsBeforeStoppingTheOldAndStoresWhatItShows) {
    Fixture f("[VORNKIT]\r\nTPCheck=0\r\nTDCheck=01\r\nTCCheck=2\r\nStartupCheck=0\r\n");
    for (const auto& [box, value] :
         {std::pair{"TNCheck", 0}, {"TPCheck", 1}, {"TCCheck", 1}, {"StartupCheck", 1}})
        f.Click(box, value);
    f.Press("cmdOK");
    EXPECT_EQ(f.api.Only("icon."),
              (std::vector<std::string>{"icon.add Vorn Control Panel", "icon.add Vorn CD Player",
                                        "icon.delete Vorn Notepad"}));
    EXPECT_EQ(f.Ini(),
              "[VORNKIT]\r\nTPCheck=1\r\nTDCheck=0\r\nTCCheck=1\r\nStartupCheck=1\r\nTECheck=1\r\n"
              "TACheck=1\r\nTNCheck=0\r\n[VORNEXP]\r\nrunmode=3\r\n[VORNNOT]\r\nrunmode=3\r\n"
              "[VORNCON]\r\nrunmode=3\r\n");
    f.program.Forms().Reopen("frmOptions");  // shows what OK confirmed
    EXPECT_EQ(f.Ticks(), "1101110");
}

TEST(frmOptions, CancelAndReopenDiscardUnconfirmedTicks) {
    Fixture f;
    f.Click("TNCheck", 0);
    f.Click("StartupCheck", 0);
    f.program.Forms().Reopen("frmOptions");
    EXPECT_EQ(f.Ticks(), "1111111");
    f.Click("TECheck", 0);
    f.Press("cmdCancel");
    EXPECT_TRUE(f.api.Only({"write", "reg.", "load frmT", "unload frmT"}).empty());
    f.program.Forms().Reopen("frmOptions");
    EXPECT_EQ(f.Ticks(), "1111111");
}

TEST(StartupCommand, LowerCaseQuotedOnlyWhenThePathHasABlank) {
    testing_support::TempDir dir;
    testing_support::FakeApi api(dir.Path());
    const struct {
        const char *path, *exe, *command;
    } cases[] = {
        // Every letter is lowered, not only A to Z, and none is lost.
        {"C:\\Программы Ω", "VornKit", "\"c:\\программы ω\\vornkit.exe\""},
        {"D:\\ÉTÉ", "Vornkit", "d:\\été\\vornkit.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(options::StartupCommand(api, c.path, c.exe), c.command);
    }
}

}  // namespace
