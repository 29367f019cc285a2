// The four applet options dialogs: what the load shows and what each choice stores.
#include <gtest/gtest.h>

#include "options/frmAppletOptions.h"
#include "program_fixture.h"

namespace {

struct Fixture : testing_support::ProgramFixture {
    std::string name;
    Fixture(const std::string& code, const std::string& ini)
        : name(applets::ByCode(code)->optionsDialog) {
        Ini(ini);
        Open<options::frmAppletOptions>(name);
    }
    options::frmAppletOptions& Dialog() { return Find<options::frmAppletOptions>(name); }
    // The selected window style, "" for none.
    std::string Selected() {
        std::string out;
        for (const char* option : {"optNorm", "optMin", "optMax"})
            if (const forms::Control* c = Dialog().Find(option); c && c->Value() == 1)
                out += option;
        return out;
    }
};

const struct {
    const char *code, *section;
} kDialogs[] = {{"TD", "VORNDOS"}, {"TE", "VORNEXP"}, {"TC", "VORNCON"}, {"TN", "VORNNOT"}};

TEST(frmAppletOptions, LoadSelectsOnlyTheExactStoredStyleAndWritesNothing) {
    const struct {
        const char* stored;
        const char* selected;
    } cases[] = {{"1", "optNorm"}, {"2", "optMin"}, {"3", "optMax"}, {"3.0", ""},
                 {"\" 3\"", ""},   {"4", ""},       {"", ""}};
    for (const auto& d : kDialogs) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(d.code) + " runmode=" + c.stored);
            const std::string ini = std::string("[") + d.section + "]\r\nrunmode=" + c.stored +
                                    "\r\nparameters=\"/e, x \"\r\n";
            Fixture f(d.code, ini);
            const bool noNormal = std::string(d.code) == "TD" && std::string(c.stored) == "1";
            EXPECT_EQ(f.Selected(), noNormal ? "" : c.selected);
            EXPECT_TRUE(f.api.Only("write").empty());
            if (f.Dialog().HasParameters()) {
                EXPECT_EQ(f.Dialog()["txtParam"].Text(), "/e, x ");
            }
        }
    }
}

TEST(frmAppletOptions, AnOverLongParameterIsShownCutButLeftInTheFile) {
    const std::string ini = "[VORNDOS]\r\nparameters=" + std::string(300, 'p') + "\r\n";
    Fixture f("TD", ini);
    EXPECT_EQ(f.Dialog()["txtParam"].Text(), std::string(254, 'p'));
    EXPECT_EQ(f.Ini(), ini);
}

TEST(frmAppletOptions, EveryChoiceIsStoredAtOnceAndOkOnlyCloses) {
    for (const auto& d : kDialogs) {
        SCOPED_TRACE(d.code);
        Fixture f(d.code, "");
        f.api.log.clear();
        auto& dialog = f.Dialog();
        std::vector<std::string> expected;
        const std::string write = std::string("write ") + d.section + " ";
        if (dialog.Find("optNorm")) {
            f.User([&] { dialog.UserClicked("optNorm", 1); });
            expected.push_back(write + "runmode=1");
        }
        f.User([&] { dialog.UserClicked("optMin", 1); });
        f.User([&] { dialog.UserClicked("optMax", 1); });
        expected.insert(expected.end(), {write + "runmode=2", write + "runmode=3"});
        EXPECT_EQ(f.Selected(), "optMax");
        if (dialog.HasParameters()) {
            for (const char* text : {"a", "ab", "abc", ""}) {
                f.User([&] { dialog.UserChangedText("txtParam", text); });
                expected.push_back(write + "parameters=" + text);
            }
        }
        f.User([&] { dialog.UserClickedButton("cmdOK"); });
        EXPECT_EQ(f.api.Only("write"), expected);
        EXPECT_FALSE(f.program.Forms().IsLoaded(f.name));
    }
}

// Each dialog is titled after its applet. A screen reader names an option button by its caption,
// which it does not show: the one label on its row reads that word.
TEST(frmAppletOptions, EachDialogShowsItsTitleAndEachOptionsRowItsWord) {
    for (const auto& d : kDialogs) {
        Fixture f(d.code, "");
        const forms::Control* title = f.Dialog().Find("Label1");
        ASSERT_TRUE(title) << d.code;
        EXPECT_EQ(title->Design().caption,
                  std::string(applets::ByCode(d.code)->displayName) + " Options:");
        for (const forms::Control& button : f.Dialog().Controls()) {
            const forms::ControlDesign& o = button.Design();
            if (o.kind != forms::Kind::OptionButton)
                continue;
            std::vector<std::string> onRow;
            for (const forms::Control& label : f.Dialog().Controls()) {
                const forms::ControlDesign& l = label.Design();
                if (l.kind == forms::Kind::Label && l.container == o.container &&
                    l.top <= o.top + o.height / 2 && o.top + o.height / 2 < l.top + l.height)
                    onRow.push_back(l.caption);
            }
            EXPECT_EQ(onRow, std::vector<std::string>{o.caption}) << d.code << " " << o.name;
        }
    }
}

TEST(frmAppletOptions, LosingTheFocusBringsItToTheFrontOfItsBand) {
    Fixture f("TN", "");
    f.User([&] { f.Dialog().Form_LostFocus(); });
    EXPECT_EQ(f.api.Only("front"), std::vector<std::string>{"front frmTNOpt"});
}

}  // namespace
