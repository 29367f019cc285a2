// The About box: the ways a click closes it.
#include <gtest/gtest.h>

#include "about/frmAbout.h"
#include "program_fixture.h"

namespace {

TEST(frmAbout, ClickOnTheBackgroundDropsTopmostFirst) {
    for (const std::string target : {"Image1", "Label1", "Label2", "Form", "Shape1"}) {
        SCOPED_TRACE(target);
        testing_support::ProgramFixture f;
        auto& about = f.Open<about::frmAbout>("frmAbout");
        f.api.log.clear();
        f.User([&] { about.UserClickedButton(target); });
        std::vector<std::string> log = {"unload frmAbout"};
        if (target == "Form" || target == "Shape1")
            log.insert(log.begin(), "topmost off");
        EXPECT_EQ(f.api.Only({"topmost", "unload"}), log);
        EXPECT_FALSE(f.program.Forms().IsLoaded("frmAbout"));
    }
}

}  // namespace
