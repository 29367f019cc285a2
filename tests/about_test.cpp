// The About box: placement and the ways a click closes it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "about/frmAbout.h"
#include "fake_api.h"
#include "program/program.h"

using testing_support::FakeApi;
using testing_support::TempDir;

namespace {

struct Fixture {
    TempDir dir;
    FakeApi api{dir.Path()};
    program::Program program{api, api};
    Fixture() { program.Forms().Reopen("frmAbout"); }
    about::frmAbout& About() {
        return static_cast<about::frmAbout&>(*program.Forms().Find("frmAbout"));
    }
};

TEST(frmAbout, LoadCentresAndGoesTopmostOnce) {
    Fixture f;
    f.program.Forms().Reopen("frmAbout");
    EXPECT_EQ(f.api.log,
              (std::vector<std::string>{"load frmAbout", "setwindowpos -1 3", "show frmAbout",
                                        "unload frmAbout", "load frmAbout", "setwindowpos -1 3",
                                        "show frmAbout"}));
    auto& d = f.About();
    EXPECT_TRUE(d.Visible());
    EXPECT_LE(std::abs(2 * d.Left() + d.Width() - f.api.ScreenWidthTwips()), 1);
    EXPECT_LE(std::abs(2 * d.Top() + d.Height() - f.api.ScreenHeightTwips()), 1);
}

TEST(frmAbout, ClickOnTheBackgroundDropsTopmostFirst) {
    const struct {
        const char* target;
        std::vector<std::string> log;
    } cases[] = {
        {"Image1", {"unload frmAbout"}},
        {"Label1", {"unload frmAbout"}},
        {"Label2", {"unload frmAbout"}},
        {"Form", {"setwindowpos -2 3", "unload frmAbout"}},
        {"Shape1", {"setwindowpos -2 3", "unload frmAbout"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        Fixture f;
        f.api.log.clear();
        f.program.Forms().Dispatch([&] {
            auto& d = f.About();
            d.UserClickedButton(c.target);
            EXPECT_EQ(d.Name(), "frmAbout");  // parked, not yet freed
        });
        EXPECT_EQ(f.api.log, c.log);
        EXPECT_FALSE(f.program.Forms().IsLoaded("frmAbout"));
    }
}

}  // namespace
