// Run-mode conversion, command lines and message decoding.
#include <gtest/gtest.h>

#include <cmath>

#include "applets/AppletWindow.h"
#include "applets/launch.h"

namespace {

TEST(ToWindowStyle, ReadsNumbersTheWayStoredSettingsAlwaysWere) {
    const struct {
        const char* text;
        std::optional<std::int32_t> style;
    } cases[] = {
        {"1", 1},           {"3", 3},
        {" 3 ", 3},         {"3.0", 3},
        {"2.5", 2},         {"3.5", 4},
        {"+2", 2},          {"-1", -1},
        {"1e0", 1},         {"2D0", 2},
        {"&H3", 3},         {"&o2", 2},
        {"&HFFFFFFFF", -1}, {"", {}},
        {"  ", {}},         {"abc", {}},
        {"3x", {}},         {".", {}},
        {"-", {}},          {"1e", {}},
        {"&H", {}},         {"&HG", {}},
        {"2147483648", {}}, {"1e10", {}},
        {"1e999", {}},      {"&H100000000", {}},
        {"03", 3},          {"\t2", 2},
        {"12", 12},         {"1.5e1", 15},
        {"1e1", 10},        {"1E1", 10},
        {"1d1", 10},        {"1D1", 10},
        {"2\t", 2},         {"0.5", 0},
        {"2.6", 3},         {"2.51", 3},
        {"1e+1", 10},       {"10e-1", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(applets::ToWindowStyle(c.text), c.style);
    }
    // The show codes the platform takes run from 1 to 11.
    for (const auto& [style, accepted] : {std::pair{0, false}, {1, true}, {11, true}, {12, false}})
        EXPECT_EQ(applets::IsAcceptedWindowStyle(style), accepted) << style;
}

TEST(CommandLine, ProgramThenOneBlankThenTheParametersUnchanged) {
    const struct {
        const char* code;
        const char* parameters;
        const char* windowsDir;
        const char* line;
    } cases[] = {
        {"TD", "", "C:\\WINDOWS", "command.com"},
        {"TD", "/k dir", "C:\\WINDOWS", "command.com /k dir"},
        {"TE", "   ", "", "explorer.exe    "},
        {"TN", "\"a b.txt\" ", "", "notepad.exe \"a b.txt\" "},
        {"TC", "/x", "C:\\WINDOWS", "control.exe"},
        {"TP", "/play", "C:\\WINDOWS", "C:\\WINDOWS\\cdplayer.exe"},
        {"TA", "", "C:\\", "C:\\\\calc.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " " + c.parameters);
        EXPECT_EQ(applets::CommandLine(*applets::ByCode(c.code), c.parameters, c.windowsDir),
                  c.line);
    }
}

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

}  // namespace
