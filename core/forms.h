// A small forms runtime: windows loaded and unloaded by name, one instance per name, with
// controls that hold their own state (check value, selected option, text). Handlers run the same
// on real windows and headless: the windows go through a WindowHost, the rest of the system
// through platform::System.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/window_host.h"
#include "platform/system.h"

namespace forms {

// The title of a message box given none.
inline constexpr const char* kAppTitle = "Vornkit";

// System commands (WM_SYSCOMMAND), as the window system numbers them.
inline constexpr std::uint32_t kScSize = 0xF000;
inline constexpr std::uint32_t kScMove = 0xF010;
inline constexpr std::uint32_t kScMinimize = 0xF020;
inline constexpr std::uint32_t kScMaximize = 0xF030;
inline constexpr std::uint32_t kScClose = 0xF060;
inline constexpr std::uint32_t kScKeyMenu = 0xF100;
inline constexpr std::uint32_t kScRestore = 0xF120;
inline constexpr std::uint32_t kScTaskList = 0xF130;
inline constexpr std::uint32_t kScScreenSave = 0xF140;
inline constexpr std::uint32_t kScMonitorPower = 0xF170;

// Whether a window the user never sees (the start-up window, an applet window, the dialogs'
// hidden owner) takes a system command rather than let the window system carry it out. It takes
// every command meant for a window (restore, maximize, minimize, size, move, close, the window
// menu), since each would put the empty window on the screen. The three meant for the whole
// system go on: the hidden window is the foreground one after a popup menu, and the system sends
// those to the foreground window, which would otherwise keep the screen saver or the monitor's
// power saving from starting.
constexpr bool TakesSystemCommandWhenNeverShown(std::uint32_t command) {
    command &= 0xFFF0u;  // the low four bits are the window system's own
    return command != kScScreenSave && command != kScMonitorPower && command != kScTaskList;
}

enum class Kind {
    Label,
    Frame,
    CheckBox,
    OptionButton,
    CommandButton,
    TextBox,
    PictureBox,
    Image,
    Shape
};
enum class Border { None, FixedSingle };
enum class Event { Click, Change, MouseMove };

constexpr std::uint32_t kDefaultColour = 0xFFFFFFFFu;  // the window system's own colour

struct Font {
    std::string face = "MS Sans Serif";
    float points = 8.0f;
    bool bold = false;
};

// Designs are written with designated initializers; every member has a default, so a design
// names only what differs from it.
struct ControlDesign {
    std::string name{};
    Kind kind = Kind::Label;
    std::string caption{};
    std::string container{};               // "" for the form itself, else the name of a frame
    int left{}, top{}, width{}, height{};  // twips, relative to the container
    int tabIndex = -1;
    Font font{};
    int picture = 0;  // resource id of an icon shown by a picture or image
    std::uint32_t backColour = kDefaultColour;
    std::uint32_t foreColour = kDefaultColour;
    // A label that names a control which shows no text of its own (a text box): the window
    // system puts the label just before that control, where screen readers look for its name.
    std::string labelFor{};
    // The window system's notices for the form arrive here: the notification area's callbacks
    // about the form's icon come to this control's window, which is never seen.
    bool receivesNotices = false;
};

// The colours a control or form is drawn in; kDefaultColour stands for the window system's own.
struct Colours {
    std::uint32_t fore = kDefaultColour;
    std::uint32_t back = kDefaultColour;
};

struct MenuItem {
    std::string name;
    std::string caption;  // "-" is a separator
    bool IsSeparator() const { return caption == "-"; }
};

struct FormDesign {
    std::string name{};
    std::string caption{};
    Border border = Border::FixedSingle;
    bool controlBox = true;
    bool showInTaskbar = false;
    int clientWidth{}, clientHeight{};  // twips
    int icon = 0;                       // resource id, 0 for none
    std::uint32_t backColour = kDefaultColour;
    std::vector<ControlDesign> controls{};
    std::vector<MenuItem> popupMenu{};
    // The popup menu a keyboard opens: its first item is its default.
    std::vector<MenuItem> keyboardMenu{};
    // A window that is never shown (the start-up window, the applet windows) gets its controls
    // with the window; any other gets them when it is first shown, so that one loaded hidden
    // costs only its frame.
    bool neverShown = false;
};

struct MouseArgs {
    int button{};
    int shift{};
    float x{};  // twips
    float y{};
};

class Control {
public:
    explicit Control(ControlDesign design) : design_(std::move(design)) {}
    const ControlDesign& Design() const { return design_; }
    const std::string& Name() const { return design_.name; }
    int Value() const { return value_; }  // check box 0/1/2, option button 0/1
    const std::string& Text() const { return text_; }
    Handle WindowHandle() const { return handle_; }
    void SetWindowHandle(Handle h) { handle_ = h; }

private:
    friend class Form;
    ControlDesign design_;
    int value_ = 0;
    std::string text_;
    Handle handle_{};
};

class Runtime;

class Form {
public:
    Form(Runtime& runtime, FormDesign design);
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return design_.name; }
    const FormDesign& Design() const { return design_; }
    Runtime& Forms() { return runtime_; }
    platform::System& System();
    WindowHost& Host();

    Handle WindowHandle() const { return handle_; }
    void SetWindowHandle(Handle h) { handle_ = h; }
    Handle IconHandle() const { return iconHandle_; }
    void SetIconHandle(Handle h) { iconHandle_ = h; }
    bool Visible() const { return visible_; }

    Control& operator[](std::string_view name);
    const Control* Find(std::string_view name) const;
    std::vector<Control>& Controls() { return controls_; }
    // The controls in the order the Tab key visits them: by tab index, ties in design order.
    std::vector<Control*> InTabOrder();
    // The order the window system stacks the controls in: the Tab order, with each label that
    // names a control moved to just before it. Labels are no tab stops, so Tab is unchanged.
    std::vector<Control*> InZOrder();
    // What the form's background and a control are drawn in. Under high contrast every designed
    // colour gives way to the system's, text and background together: a designed background
    // behind the system's text colour can be unreadable.
    Colours FormColours(bool highContrast) const;
    Colours ControlColours(const Control& control, bool highContrast) const;

    // Handlers the runtime calls.
    virtual void Form_Load() {}
    virtual void Form_QueryUnload(int& /*cancel*/, int /*unloadMode*/) {}
    virtual void Form_LostFocus() {}
    virtual void Form_Timer(int /*id*/) {}
    // The taskbar was created again (the shell restarted): icons must be added anew.
    virtual void TaskbarCreated() {}
    // The form's icon was made again, at the size of a new DPI: IconHandle() is the new one, to
    // be handed on wherever the form shows it.
    virtual void IconChanged() {}
    // The window system asks the window to close (its close box, or another program, such as an
    // installer's restart manager). A dialog the user sees unloads; a window the user never sees
    // (the start-up window, an applet window) stands for the program, which then ends as its
    // exit command ends it.
    void CloseRequested();
    // A system command to the form's window (WM_SYSCOMMAND: Alt+F4, Alt+Space, the window menu,
    // or another program's message). True when the form took it; false when the window system is
    // to carry it out. A window the user sees closes on the close command and leaves the rest to
    // the window system; one never shown takes every command meant for a window (see
    // TakesSystemCommandWhenNeverShown). Such a window has the keyboard only after a popup menu
    // brought it to the front, and the user's Alt+F4 there is meant for the window they were
    // working in.
    bool SystemCommand(std::uint32_t command);

    // Changes made by code: the control's window follows, and no handling runs (a Click or
    // Change handler runs only for what the user does).
    void SetValueQuietly(std::string_view control, int value);
    void SetTextQuietly(std::string_view control, const std::string& text);

    // Changes made by the user, reported by the window system: the state is taken over
    // and the handling runs.
    void UserClicked(std::string_view control, int newValue);
    void UserChangedText(std::string_view control, const std::string& text);
    void UserClickedButton(std::string_view control);
    void MouseMoved(std::string_view control, const MouseArgs& args);

    // Geometry in twips.
    Size OuterSize();
    void Move(int leftTwips, int topTwips);
    int Left() const { return left_; }
    int Top() const { return top_; }
    // Places the window in the middle of the screen.
    void CentreOnScreen();
    // Puts the window into the topmost band, or takes it out, neither moving nor sizing it.
    void SetTopmost(bool on);

    // Shows a popup menu of the form's design and runs the chosen item's Click; false when the
    // menu closed with no command run (an item without one only closes it).
    bool PopupMenu(const std::vector<MenuItem>& items, const MenuPlacement& placement = {});

    // Runs the handler registered for the control and event, if any; false when there is none.
    bool Fire(std::string_view control, Event event, const MouseArgs& args = {});

protected:
    // Binds a handler to a control, a popup menu item or "Form" (the window itself). Debug builds
    // stop at a name the design lacks.
    void On(std::string control, Event event, std::function<void()> handler);
    void OnMouseMove(std::string control, std::function<void(const MouseArgs&)> handler);

private:
    friend class Runtime;
    bool HasPart(std::string_view name) const;
    // Sets a control's value; selecting an option button clears the others of its container.
    void SetControlValue(Control& c, int value);

    Runtime& runtime_;
    FormDesign design_;
    std::vector<Control> controls_;
    std::map<std::pair<std::string, Event>, std::function<void(const MouseArgs&)>> handlers_;
    Handle handle_{};
    Handle iconHandle_{};
    bool visible_ = false;
    int left_{}, top_{};
};

class Runtime {
public:
    using Factory = std::function<std::unique_ptr<Form>(Runtime&)>;

    Runtime(platform::System& system, WindowHost& host) : system_(system), host_(host) {}
    ~Runtime();
    platform::System& System() { return system_; }
    WindowHost& Host() { return host_; }

    void Register(const std::string& name, Factory factory);
    // Every registered window name, in alphabetical order.
    std::vector<std::string> RegisteredNames() const;

    // The program's way out, which the program that builds the runtime hands it.
    void SetExitRoutine(std::function<void()> exit) { exit_ = std::move(exit); }
    void Exit();
    // The session ends (log-off, shutdown, or an installer closing the program): when it really
    // does (`ending`), the program ends as its exit command ends it.
    void SessionEnded(bool ending);

    // Loads the window if it is not loaded (creating it hidden and running Form_Load) and
    // returns it; a loaded window is returned as it is.
    Form& Load(const std::string& name);
    // Runs `step` once the outermost load under way has ended, after the steps left before it:
    // windows loaded by another window's load leave their later work until all of them are in.
    // Outside any load it runs at once.
    void AfterLoads(std::function<void()> step);
    // Runs Form_QueryUnload and destroys the window; a window that is not loaded stays so
    // and runs nothing. The object itself lives on until no handler is running.
    void Unload(const std::string& name, int unloadMode = 1);
    // Unloads this very instance, and nothing if the name now belongs to a newer one (a handler
    // that ran a nested message loop may find its window replaced meanwhile).
    void Unload(Form& form, int unloadMode = 1);
    bool IsLoaded(const std::string& name) const;
    Form* Find(const std::string& name);

    void Show(const std::string& name);
    void Hide(const std::string& name);
    // Unload if loaded, load afresh, show modeless without owner.
    void Reopen(const std::string& name);

    // Every handler the window system runs goes through here, so that forms unloaded inside
    // a handler are freed only once the outermost handler has returned.
    template <class F>
    void Dispatch(F&& f) {
        ++depth_;
        struct Leave {
            Runtime& r;
            ~Leave() {
                if (--r.depth_ == 0)
                    r.unloaded_.clear();
            }
        } leave{*this};
        f();
    }

private:
    platform::System& system_;
    WindowHost& host_;
    std::function<void()> exit_;
    std::map<std::string, Factory> factories_;
    std::map<std::string, std::unique_ptr<Form>> loaded_;
    std::vector<std::unique_ptr<Form>> unloaded_;
    std::vector<std::function<void()>> afterLoads_;
    int depth_ = 0;
    int loading_ = 0;  // loads under way, one inside another
    bool runningAfterLoads_ = false;
};

}  // namespace forms
