// The About box: placement and the ways a click closes it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "about/frmAbout.h"
#include "program_fixture.h"

namespace {

struct Fixture : testing_support::ProgramFixture {
    Fixture() { Open<about::frmAbout>("frmAbout"); }
    about::frmAbout& About() { return Find<about::frmAbout>("frmAbout"); }
};

TEST(frmAbout, LoadCentresAndGoesTopmostOnce) {
    Fixture f;
    f.program.Forms().Reopen("frmAbout");
    EXPECT_EQ(f.api.Only({"load", "unload", "topmost"}),
              (std::vector<std::string>{"load frmAbout", "topmost on", "unload frmAbout",
                                        "load frmAbout", "topmost on"}));
    auto& d = f.About();
    EXPECT_TRUE(d.Visible());
    EXPECT_LE(std::abs(2 * d.Left() + d.OuterSize().width - f.api.ScreenWidthTwips()), 1);
    EXPECT_LE(std::abs(2 * d.Top() + d.OuterSize().height - f.api.ScreenHeightTwips()), 1);
}

TEST(frmAbout, ClickOnTheBackgroundDropsTopmostFirst) {
    const struct {
        const char* target;
        std::vector<std::string> log;
    } cases[] = {
        {"Image1", {"unload frmAbout"}},
        {"Label1", {"unload frmAbout"}},
        {"Label2", {"unload frmAbout"}},
        {"Form", {"topmost off", "unload frmAbout"}},
        {"Shape1", {"topmost off", "unload frmAbout"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        Fixture f;
        f.api.log.clear();
        f.User([&] { f.About().UserClickedButton(c.target); });
        EXPECT_EQ(f.api.Only({"topmost", "unload"}), c.log);
        EXPECT_FALSE(f.program.Forms().IsLoaded("frmAbout"));
    }
}

}  // namespace
