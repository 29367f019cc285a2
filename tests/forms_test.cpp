// The forms runtime on its own: option groups, what runs a handler and what does not, and
// windows unloaded while one of their handlers runs.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/forms.h"
#include "fake_api.h"

using testing_support::FakeApi;
using testing_support::TempDir;

namespace {

// Two frames of option buttons and a text box; every handler run is written down.
struct Dialog : forms::Form {
    std::vector<std::string> ran;
    std::function<void()> onUnload;
    bool& alive;
    Dialog(forms::Runtime& runtime, bool& alive) : Form(runtime, Design()), alive(alive) {
        for (const char* name : {"optA1", "optA2", "optB1", "optB2"})
            On(name, forms::Event::Click, [this, name] { ran.push_back(name); });
        On("txt", forms::Event::Change, [this] { ran.push_back("txt " + (*this)["txt"].Text()); });
        alive = true;
    }
    ~Dialog() override { alive = false; }
    void Form_QueryUnload(int&, int) override {
        if (onUnload)
            onUnload();
    }
    std::string Selected() {
        std::string out;
        for (const char* name : {"optA1", "optA2", "optB1", "optB2"})
            if ((*this)[name].Value())
                out += std::string(out.empty() ? "" : " ") + name;
        return out;
    }
    static forms::FormDesign Design() {
        using forms::Kind;
        return {.name = "dlg",
                .controls = {{.name = "A", .kind = Kind::Frame},
                             {.name = "optA1", .kind = Kind::OptionButton, .container = "A"},
                             {.name = "optA2", .kind = Kind::OptionButton, .container = "A"},
                             {.name = "B", .kind = Kind::Frame},
                             {.name = "optB1", .kind = Kind::OptionButton, .container = "B"},
                             {.name = "optB2", .kind = Kind::OptionButton, .container = "B"},
                             {.name = "chkB", .kind = Kind::CheckBox, .container = "B"},
                             {.name = "txt", .kind = Kind::TextBox}}};
    }
};

struct Runtime {
    TempDir dir;
    FakeApi api{dir.Path()};
    forms::Runtime forms{api, api};
    bool alive = false;
    Runtime() {
        forms.Register("dlg",
                       [this](forms::Runtime& r) { return std::make_unique<Dialog>(r, alive); });
    }
    Dialog& Load() { return static_cast<Dialog&>(forms.Load("dlg")); }
};

TEST(Forms, OptionButtonsFormOneGroupPerContainerAndOnlyTheUserRunsAHandler) {
    Runtime r;
    Dialog& d = r.Load();
    d.SetValueQuietly("optA1", 1);
    d.SetValueQuietly("optB2", 1);
    d.SetTextQuietly("txt", "filled");
    EXPECT_EQ(d.Selected(), "optA1 optB2");
    d.UserClicked("optA2", 1);
    EXPECT_EQ(d.Selected(), "optA2 optB2");
    // A check box in a group's frame is no part of the group, and keeps a grey (2) as it is.
    d.UserClicked("chkB", 2);
    EXPECT_EQ(d.Selected(), "optA2 optB2");
    EXPECT_EQ(d["chkB"].Value(), 2);
    d.UserChangedText("txt", "filled");  // no change: no handler
    d.UserChangedText("txt", "typed");
    EXPECT_EQ(d.ran, (std::vector<std::string>{"optA2", "txt typed"}));
    // The window shows every change but the user's typing: the button chosen, the one it cleared.
    EXPECT_EQ(r.api.updates,
              (std::vector<std::string>{"dlg optA1 1 []", "dlg optB2 1 []", "dlg txt 0 [filled]",
                                        "dlg optA1 0 []", "dlg optA2 1 []", "dlg chkB 2 []"}));
}

TEST(Forms, HideKeepsTheWindowLoadedAndLoadsNoneThatIsNot) {
    Runtime r;
    r.forms.Show("dlg");
    r.forms.Hide("dlg");
    EXPECT_TRUE(r.forms.IsLoaded("dlg"));
    EXPECT_FALSE(r.forms.Find("dlg")->Visible());
    r.forms.Unload("dlg");
    r.forms.Hide("dlg");
    EXPECT_FALSE(r.forms.IsLoaded("dlg"));
    EXPECT_EQ(r.api.Only({"show", "hide"}), (std::vector<std::string>{"show dlg", "hide dlg"}));
}

TEST(Forms, AWindowUnloadedInsideItsHandlerLivesUntilTheHandlerReturns) {
    Runtime r;
    Dialog& d = r.Load();
    r.forms.Dispatch([&] {
        r.forms.Unload(d);
        EXPECT_FALSE(r.forms.IsLoaded("dlg"));
        EXPECT_TRUE(r.alive);             // the handler may still use its own window
        EXPECT_EQ(d.WindowHandle(), 0u);  // but no longer a handle the system may hand out anew
    });
    EXPECT_FALSE(r.alive);
}

TEST(Forms, AnUnloadLeavesAloneTheWindowItsHandlerPutInItsPlace) {
    Runtime r;
    Dialog& first = r.Load();
    bool reopened = false;
    first.onUnload = [&] {  // a fresh one while the old goes
        if (!std::exchange(reopened, true))
            r.forms.Reopen("dlg");
    };
    // All inside one handler, as the program's handlers run: the old window lives until it ends.
    r.forms.Dispatch([&] {
        r.forms.Unload("dlg");
        forms::Form* now = r.forms.Find("dlg");
        ASSERT_NE(now, nullptr);
        EXPECT_NE(now, &first);
        EXPECT_TRUE(now->Visible());
        // The old handler unloading "its" window by identity leaves the new one alone too.
        r.forms.Unload(first);
        EXPECT_EQ(r.forms.Find("dlg"), now);
    });
}

#ifndef NDEBUG
// A handler bound to a misspelt control would never run: debug builds stop at it.
class Misspelt : public forms::Form {
public:
    explicit Misspelt(forms::Runtime& runtime) : Form(runtime, Dialog::Design()) {
        On("optA3", forms::Event::Click, [] {});
    }
};

TEST(FormsDeathTest, AHandlerForANameTheDesignLacksStopsADebugBuild) {
    Runtime r;
    EXPECT_DEATH(Misspelt misspelt(r.forms), "HasPart");
}
#endif

}  // namespace
