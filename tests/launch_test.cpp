// Starting an applet's program: run-mode conversion, where a program is found, and what a click
// on the icon starts or shows when the start fails.
#include <gtest/gtest.h>

#include <utility>

#include "applets/launch.h"
#include "applets/program_search.h"
#include "program_fixture.h"

namespace {

using testing_support::FakeApi;
using testing_support::ProgramFixture;
using testing_support::TempDir;

TEST(ToWindowStyle, ReadsNumbersTheWayStoredSettingsAlwaysWere) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"1", 1},           {"3", 3},    {" 3 ", 3},   {"3.0", 3},  {"2.5", 2}, {"3.5", 4},
        {"+2", 2},          {"-1", -1},  {"1e0", 1},   {"2D0", 2},  {"&H3", 3}, {"&o2", 2},
        {"&HFFFFFFFF", -1}, {"&h2", 2},  {"03", 3},    {"\t2", 2},  {"12", 12}, {"1.5e1", 15},
        {"1e1", 10},        {"1E1", 10}, {"1d1", 10},  {"1D1", 10}, {"2\t", 2}, {"0.5", 0},
        {"2.6", 3},         {"2.51", 3}, {"1e+1", 10}, {"10e-1", 1}};
    for (const auto& [text, style] : cases)
        EXPECT_EQ(applets::ToWindowStyle(text), style) << text;
    for (const char* text : {"", "  ", "abc", "3x", ".", "-", "1e", "&H", "&HG", "2147483648",
                             "1e10", "1e999", "&H100000000"})
        EXPECT_EQ(applets::ToWindowStyle(text), std::nullopt) << text;
    // The show codes the platform takes run from 1 to 11.
    for (const auto& [style, accepted] : {std::pair{0, false}, {1, true}, {11, true}, {12, false}})
        EXPECT_EQ(applets::IsAcceptedWindowStyle(style), accepted) << style;
}

TEST(Launch, FailuresBeepShowTheMessageAndLeaveTheIcon) {
    ProgramFixture f;
    f.program.Start();
    // A run mode removed after start-up, or one outside the show codes the platform takes.
    for (const char* runmode : {"", "0", "12", "-1"}) {
        f.Ini(std::string("[VORNEXP]\r\nparameters=/e\r\nrunmode=") + runmode + "\r\n");
        f.LeftClick("TE");
    }
    f.api.startSucceeds = false;
    f.LeftClick("TA");
    // Notepad found nowhere Windows keeps its programs, though a copy lies beside vornkit.exe.
    const auto systemFiles = std::exchange(f.api.files, {f.api.appPath + "\\notepad.exe"});
    f.LeftClick("TN");
    f.api.files = systemFiles;
    const std::string message =
        "msgbox Error ok+exclamation+system-modal This applet will not work on your system; please "
        "uncheck it from the Vornkit options menu.";
    EXPECT_EQ(f.api.Only("beep").size(), 6u);
    EXPECT_EQ(f.api.Only("msgbox"), std::vector<std::string>(6, message));
    EXPECT_EQ(f.api.Only("start").size(), 1u);  // only the calculator got as far as starting
    f.api.startSucceeds = true;
    // The command line: the bare name, and the parameters after one blank where the applet takes
    // them (Control Panel does not); the window style as stored.
    const std::string system = "start C:\\WINDOWS\\system32\\";
    const struct {
        const char *code, *ini;
        std::string started;
    } cases[] = {
        {"TE", "[VORNEXP]\r\nrunmode=2\r\nparameters=/e,c:\\\r\n",
         "start C:\\WINDOWS\\explorer.exe [explorer.exe /e,c:\\] 2"},
        {"TD", "[VORNDOS]\r\nrunmode=1\r\nparameters=/k echo\r\n",
         system + "command.com [command.com /k echo] 1"},
        {"TD", "[VORNDOS]\r\nrunmode=3\r\nparameters=\r\n", system + "command.com [command.com] 3"},
        {"TN", "[VORNNOT]\r\nrunmode=2\r\nparameters=a b.txt\r\n",
         system + "notepad.exe [notepad.exe a b.txt] 2"},
        {"TC", "[VORNCON]\r\nrunmode=1\r\nparameters=/x\r\n",
         system + "control.exe [control.exe] 1"},
    };
    for (const auto& c : cases) {
        f.Ini(c.ini);
        f.LeftClick(c.code);
        EXPECT_EQ(f.api.Only("start").back(), c.started) << c.ini;
    }
}

// A program Windows ships is found only where Windows keeps its own: a copy beside vornkit.exe
// (a Downloads folder) or reached through a relative PATH entry is never started.
TEST(FindProgram, LooksOnlyWhereWindowsKeepsItsProgramsAndA32BitProgramPrefersThe64BitOnes) {
    const std::string system = "C:\\WINDOWS\\system32", windows = "C:\\WINDOWS",
                      native = "C:\\WINDOWS\\Sysnative", tools = "C:\\Program Files\\Tools";
    const std::string relativePath = ".;bin;C:bin;\\bin;;\"" + tools + "\"";
    const struct {
        bool wow64;
        std::string path;
        std::vector<std::string> folders;  // where a notepad.exe lies
        std::string found;                 // the folder it is found in
    } cases[] = {
        {false, "", {"C:\\Downloads", system, windows}, system},
        {false, "", {"C:\\Downloads", windows}, windows},
        {false, relativePath, {".", "bin", "C:bin", "\\bin", tools}, tools},
        {false, relativePath, {".", "bin", "C:bin", "\\bin"}, ""},
        {false, "\\\\server\\share\\", {"\\\\server\\share"}, "\\\\server\\share"},
        {false, "c:\\a;d:\\tools", {"d:\\tools"}, "d:\\tools"},
        {true, "", {system, windows, native}, native},
        {true, "", {system, windows}, windows},
        {true, system, {system}, system},
    };
    for (const auto& c : cases) {
        TempDir dir;
        FakeApi api(dir.Path());
        api.appPath = "C:\\Downloads";
        api.wow64 = c.wow64;
        api.environment["PATH"] = c.path;
        api.files.clear();
        for (const std::string& folder : c.folders)
            api.files.insert(folder + "\\notepad.exe");
        SCOPED_TRACE(testing::PrintToString(c.folders) + " PATH " + c.path);
        EXPECT_EQ(applets::FindProgram(api, "notepad.exe"),
                  c.found.empty() ? "" : c.found + "\\notepad.exe");
    }
}

// A Windows directory too long for the window's 145-character buffer gives no directory, and the
// launch fails as any other does rather than start a program from the drive's root.
TEST(Launch, AWindowsDirectoryTooLongForItsBufferFailsTheCalculator) {
    ProgramFixture f;
    f.program.Start();
    f.api.windowsDir = std::string(145, 'w');
    f.LeftClick("TA");
    EXPECT_TRUE(f.api.Only("start").empty());
    EXPECT_EQ(f.api.Only("msgbox").size(), 1u);
    f.api.windowsDir = std::string(144, 'w');
    f.LeftClick("TA");
    EXPECT_EQ(f.api.Only("start").back(), "start [" + std::string(144, 'w') + "\\calc.exe] 1");
}

}  // namespace
