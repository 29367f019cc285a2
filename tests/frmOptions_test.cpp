// The general options dialog: what it shows, what OK stores and in which order, the start-up
// command line.
#include <gtest/gtest.h>

#include <map>

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
};

TEST(frmOptions, LoadTicksOnlyExactOnes) {
    Fixture f("[VORNKIT]\r\nTDCheck=01\r\nTCCheck=2\r\nTACheck=0\r\nStartupCheck=1.0\r\n");
    f.program.Settings().TPCheck = "";  // not reachable from the file: empty reads as "1"
    f.program.Forms().Reopen("frmOptions");
    const std::map<std::string, int> expected = {{"TECheck", 1},     {"TDCheck", 0}, {"TCCheck", 0},
                                                 {"TPCheck", 0},     {"TACheck", 0}, {"TNCheck", 1},
                                                 {"StartupCheck", 0}};
    for (const auto& [box, value] : expected)
        EXPECT_EQ(f.Dialog()[box].Value(), value) << box;
}

TEST(frmOptions, TabGoesFromTheStartUpBoxThroughTheAppletsToTheButtons) {
    Fixture f;
    EXPECT_EQ(testing_support::TabStops(f.Dialog()),
              (std::vector<std::string>{"StartupCheck", "TECheck", "TDCheck", "TCCheck", "TPCheck",
                                        "TACheck", "TNCheck", "cmdOK", "cmdCancel"}));
}

// The run value keeps every letter of a folder named outside the ANSI code page.
TEST(frmOptions, FirstOkStoresStartupThenTheSixKeysInDialogOrder) {
    Fixture f;
    f.api.appPath = "C:\\Программы Ω";
    f.api.exeName = "VornKit";
    f.Press("cmdOK");
    const std::string command = "\"c:\\программы ω\\vornkit.exe\"";
    std::vector<std::string> stored = {
        "reg.set Vornkit=" + command + " type 1 length " + std::to_string(command.size()),
        "write VORNKIT StartupCheck=1"};
    for (const auto& key : kBoxes)
        stored.push_back("write VORNKIT " + key + "=1");
    EXPECT_EQ(f.api.Only({"reg.set", "write"}), stored);
    EXPECT_FALSE(f.program.Forms().IsLoaded("frmOptions"));
    const std::string ini = f.Ini();
    EXPECT_EQ(ini.substr(ini.find("[VORNKIT]")),
              "[VORNKIT]\r\nStartupCheck=1\r\nTECheck=1\r\nTDCheck=1\r\nTCCheck=1\r\nTPCheck=1\r\n"
              "TACheck=1\r\nTNCheck=1\r\n");
    EXPECT_EQ(*f.api.RegistryValue(basReg::kRunKey, "Vornkit"), command);
}

TEST(frmOptions, StartupIsStoredOnEveryOkEvenWhenTheRestIsRefused) {
    Fixture f;
    f.Click("StartupCheck", 0);
    for (const auto& key : kBoxes)
        f.Click(key, 0);
    f.Press("cmdOK");
    const std::string refused =
        "msgbox Vornkit ok+stop You must leave at least one applet active in Vornkit.";
    EXPECT_EQ(f.api.Only({"reg.set", "write", "msgbox"}),
              (std::vector<std::string>{"reg.set Vornkit= type 1 length 0",
                                        "write VORNKIT StartupCheck=0", refused}));
    // The message is not hidden behind the topmost dialog, which goes back on top after it.
    EXPECT_EQ(f.api.Only({"topmost", "msgbox"}),
              (std::vector<std::string>{"topmost off", refused, "topmost on"}));
    EXPECT_TRUE(f.program.Forms().IsLoaded("frmOptions"));
    EXPECT_EQ(f.program.Settings().StartupCheck, "0");
    EXPECT_EQ(f.program.Settings().TECheck, "1");
    EXPECT_EQ(*f.api.RegistryValue(basReg::kRunKey, "Vornkit"), "");

    // Without the Run key the failure is shown and OK goes on.
    Fixture g("", false);
    g.Press("cmdOK");
    EXPECT_EQ(g.api.Only("msgbox"),
              std::vector<std::string>{"msgbox Registry Open Error ok+stop Bad Key Name"});
    EXPECT_EQ(g.api.Only("write").size(), 7u);
    EXPECT_FALSE(g.program.Forms().IsLoaded("frmOptions"));
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

TEST(frmOptions, OkStartsTheNewAppletBeforeStoppingTheOldOne) {
    Fixture f("[VORNKIT]\r\nTPCheck=0\r\n");
    f.Click("TNCheck", 0);
    f.Click("TPCheck", 1);
    f.Press("cmdOK");
    const auto icons = f.api.Only("icon.");
    EXPECT_EQ(icons,
              (std::vector<std::string>{"icon.add Vorn CD Player", "icon.delete Vorn Notepad"}));
    EXPECT_TRUE(f.program.Forms().IsLoaded("frmTPIcon"));
    EXPECT_FALSE(f.program.Forms().IsLoaded("frmTNIcon"));
    const std::string ini = f.Ini();
    EXPECT_NE(ini.find("TPCheck=1\r\n"), std::string::npos);
    EXPECT_NE(ini.find("TNCheck=0\r\n"), std::string::npos);
    EXPECT_EQ(f.program.Settings().TPCheck, "1");
    EXPECT_EQ(f.program.Settings().TNCheck, "0");
}

// A value that shows cleared is stored as "0" by OK and starts nothing; ticked, it starts.
TEST(frmOptions, HandEditedValuesAreStoredAsShown) {
    Fixture f("[VORNKIT]\r\nTDCheck=01\r\nTCCheck=2\r\nStartupCheck=0\r\n");
    f.Click("TCCheck", 1);
    f.Click("StartupCheck", 1);
    f.Press("cmdOK");
    EXPECT_TRUE(f.program.Forms().IsLoaded("frmTCIcon"));
    EXPECT_FALSE(f.program.Forms().IsLoaded("frmTDIcon"));
    EXPECT_TRUE(f.api.Only("unload frmT").empty());
    EXPECT_EQ(f.program.Settings().TDCheck, "0");
    EXPECT_EQ(f.program.Settings().TCCheck, "1");
    const std::string ini = f.Ini();
    EXPECT_NE(ini.find("TDCheck=0\r\n"), std::string::npos);
    EXPECT_NE(ini.find("TCCheck=1\r\n"), std::string::npos);
    f.program.Forms().Reopen("frmOptions");  // shows what OK confirmed
    EXPECT_EQ(f.Dialog()["TDCheck"].Value(), 0);
    EXPECT_EQ(f.Dialog()["TCCheck"].Value(), 1);
    EXPECT_EQ(f.Dialog()["StartupCheck"].Value(), 1);
}

TEST(frmOptions, CancelAndReopenDiscardUnconfirmedTicks) {
    Fixture f;
    const std::string before = f.Ini();
    f.Click("TNCheck", 0);
    f.Click("StartupCheck", 0);
    f.program.Forms().Reopen("frmOptions");
    EXPECT_EQ(f.Dialog()["TNCheck"].Value(), 1);
    EXPECT_EQ(f.Dialog()["StartupCheck"].Value(), 1);
    f.Click("TECheck", 0);
    f.Press("cmdCancel");
    EXPECT_FALSE(f.program.Forms().IsLoaded("frmOptions"));
    EXPECT_TRUE(f.api.Only("write").empty());
    EXPECT_TRUE(f.api.Only("reg.").empty());
    EXPECT_TRUE(f.api.Only("unload frmT").empty());
    EXPECT_TRUE(f.api.Only("load frmT").empty());
    EXPECT_EQ(f.Ini(), before);
    EXPECT_EQ(f.program.Settings().TECheck, "1");
}

TEST(StartupCommand, LowerCaseQuotedOnlyWhenThePathHasABlank) {
    testing_support::TempDir dir;
    testing_support::FakeApi api(dir.Path());
    const struct {
        const char *path, *exe, *command;
    } cases[] = {
        {"C:\\Program Files\\Vorn Kit", "VornKit", "\"c:\\program files\\vorn kit\\vornkit.exe\""},
        {"C:\\VORNKIT", "Vornkit", "c:\\vornkit\\vornkit.exe"},
        {"C:\\", "vornkit", "c:\\\\vornkit.exe"},
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
