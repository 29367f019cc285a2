#include "core/forms.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>

namespace forms {

Form::Form(Runtime& runtime, FormDesign design) : runtime_(runtime), design_(std::move(design)) {
    controls_.reserve(design_.controls.size());
    for (const ControlDesign& c : design_.controls)
        controls_.emplace_back(c);
}

platform::System& Form::System() {
    return runtime_.System();
}

WindowHost& Form::Host() {
    return runtime_.Host();
}

const Control* Form::Find(std::string_view name) const {
    for (const Control& c : controls_)
        if (c.Name() == name)
            return &c;
    return nullptr;
}

Control& Form::operator[](std::string_view name) {
    for (Control& c : controls_)
        if (c.Name() == name)
            return c;
    std::abort();  // a control name is fixed at build time; a wrong one is a programming error
}

std::vector<Control*> Form::InTabOrder() {
    std::vector<Control*> order;
    for (Control& c : controls_)
        order.push_back(&c);
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
        return a->Design().tabIndex < b->Design().tabIndex;
    });
    return order;
}

bool Form::HasPart(std::string_view name) const {
    if (name == "Form" || Find(name))
        return true;
    for (const auto* menu : {&design_.popupMenu, &design_.keyboardMenu})
        for (const MenuItem& item : *menu)
            if (item.name == name)
                return true;
    return false;
}

std::vector<Control*> Form::InZOrder() {
    std::vector<Control*> order = InTabOrder();
    for (Control& label : controls_) {
        if (label.design_.labelFor.empty())
            continue;
        order.erase(std::find(order.begin(), order.end(), &label));
        auto named = std::find_if(order.begin(), order.end(), [&](const Control* c) {
            return c->Name() == label.design_.labelFor;
        });
        order.insert(named, &label);
    }
    return order;
}

Colours Form::FormColours(bool highContrast) const {
    if (highContrast)
        return {};
    return {kDefaultColour, design_.backColour};
}

Colours Form::ControlColours(const Control& control, bool highContrast) const {
    if (highContrast)
        return {};
    const ControlDesign& s = control.Design();
    // A control with no background of its own shows the form's.
    return {s.foreColour, s.backColour != kDefaultColour ? s.backColour : design_.backColour};
}

void Form::On(std::string control, Event event, std::function<void()> handler) {
    // A handler for a name the design lacks would never run: a misspelt name is a programming
    // error.
    assert(HasPart(control));
    handlers_[{std::move(control), event}] = [h = std::move(handler)](const MouseArgs&) { h(); };
}

void Form::OnMouseMove(std::string control, std::function<void(const MouseArgs&)> handler) {
    assert(HasPart(control));
    handlers_[{std::move(control), Event::MouseMove}] = std::move(handler);
}

bool Form::Fire(std::string_view control, Event event, const MouseArgs& args) {
    auto it = handlers_.find({std::string(control), event});
    if (it == handlers_.end())
        return false;
    it->second(args);
    return true;
}

// Option buttons of one container form a group: selecting one clears the others.
void Form::SetControlValue(Control& c, int value) {
    if (c.design_.kind == Kind::OptionButton && value != 0) {
        for (Control& other : controls_) {
            if (&other != &c && other.design_.kind == Kind::OptionButton &&
                other.design_.container == c.design_.container && other.value_ != 0) {
                other.value_ = 0;
                if (handle_)
                    Host().UpdateControl(*this, other);
            }
        }
        value = 1;
    }
    c.value_ = value;
    if (handle_)
        Host().UpdateControl(*this, c);
}

void Form::SetValueQuietly(std::string_view control, int value) {
    SetControlValue((*this)[control], value);
}

void Form::SetTextQuietly(std::string_view control, const std::string& text) {
    Control& c = (*this)[control];
    c.text_ = text;
    if (handle_)
        Host().UpdateControl(*this, c);
}

void Form::UserClicked(std::string_view control, int newValue) {
    Control& c = (*this)[control];
    SetControlValue(c, newValue);
    Fire(control, Event::Click);
}

void Form::UserChangedText(std::string_view control, const std::string& text) {
    Control& c = (*this)[control];
    if (c.text_ == text)
        return;
    c.text_ = text;
    Fire(control, Event::Change);
}

void Form::UserClickedButton(std::string_view control) {
    Fire(control, Event::Click);
}

void Form::MouseMoved(std::string_view control, const MouseArgs& args) {
    Fire(control, Event::MouseMove, args);
}

Size Form::OuterSize() {
    return Host().FormOuterSize(*this);
}

void Form::Move(int leftTwips, int topTwips) {
    left_ = leftTwips;
    top_ = topTwips;
    if (handle_)
        Host().MoveFormWindow(*this, leftTwips, topTwips);
}

void Form::CentreOnScreen() {
    const Size size = OuterSize();
    Move((Host().ScreenWidthTwips() - size.width) / 2,
         (Host().ScreenHeightTwips() - size.height) / 2);
}

void Form::SetTopmost(bool on) {
    Host().SetTopmost(*this, on);
}

void Form::CloseRequested() {
    if (design_.neverShown)
        runtime_.Exit();
    else
        runtime_.Unload(*this);
}

bool Form::SystemCommand(std::uint32_t command) {
    if (design_.neverShown)
        return TakesSystemCommandWhenNeverShown(command);
    if ((command & 0xFFF0u) != kScClose)
        return false;
    CloseRequested();
    return true;
}

bool Form::PopupMenu(const std::vector<MenuItem>& items, const MenuPlacement& placement) {
    const int chosen = Host().TrackPopupMenu(*this, items, placement);
    if (chosen < 0 || chosen >= static_cast<int>(items.size()))
        return false;
    const MenuItem item = items[static_cast<std::size_t>(chosen)];  // the form may go meanwhile
    return !item.IsSeparator() && Fire(item.name, Event::Click);
}

Runtime::~Runtime() {
    // Windows still loaded when the runtime goes (tests, or an end without the shutdown
    // routine) are destroyed without running any handling.
    for (auto& [name, form] : loaded_)
        if (form->handle_)
            host_.DestroyFormWindow(*form);
}

void Runtime::Register(const std::string& name, Factory factory) {
    factories_[name] = std::move(factory);
}

std::vector<std::string> Runtime::RegisteredNames() const {
    std::vector<std::string> names;
    for (const auto& [name, factory] : factories_)
        names.push_back(name);  // a map keeps its keys in order
    return names;
}

void Runtime::Exit() {
    if (exit_)
        exit_();
}

void Runtime::SessionEnded(bool ending) {
    if (ending)
        Exit();
}

Form& Runtime::Load(const std::string& name) {
    if (auto it = loaded_.find(name); it != loaded_.end())
        return *it->second;
    auto factory = factories_.find(name);
    if (factory == factories_.end())
        std::abort();  // every window name is registered at start
    std::unique_ptr<Form> created = factory->second(*this);
    Form& form = *created;
    loaded_[name] = std::move(created);
    Dispatch([&] {
        ++loading_;
        form.handle_ = host_.CreateFormWindow(form);
        form.Form_Load();
        if (--loading_ == 0 && !runningAfterLoads_) {
            // A step may load windows that leave steps of their own: they run after the rest.
            runningAfterLoads_ = true;
            while (!afterLoads_.empty()) {
                std::vector<std::function<void()>> steps = std::move(afterLoads_);
                afterLoads_.clear();
                for (auto& step : steps)
                    step();
            }
            runningAfterLoads_ = false;
        }
    });
    return form;
}

void Runtime::AfterLoads(std::function<void()> step) {
    if (loading_ == 0 && !runningAfterLoads_)
        step();
    else
        afterLoads_.push_back(std::move(step));
}

void Runtime::Unload(const std::string& name, int unloadMode) {
    auto it = loaded_.find(name);
    if (it == loaded_.end())
        return;
    Dispatch([&] {
        Form& form = *it->second;
        int cancel = 0;
        form.Form_QueryUnload(cancel, unloadMode);
        if (cancel != 0)
            return;
        // Looked up again: the handler may itself have unloaded the window.
        auto again = loaded_.find(name);
        if (again == loaded_.end() || again->second.get() != &form)
            return;
        host_.DestroyFormWindow(form);
        form.handle_ = 0;
        form.visible_ = false;
        unloaded_.push_back(std::move(again->second));
        loaded_.erase(again);
    });
}

void Runtime::Unload(Form& form, int unloadMode) {
    if (Find(form.Name()) == &form)
        Unload(form.Name(), unloadMode);
}

bool Runtime::IsLoaded(const std::string& name) const {
    return loaded_.count(name) != 0;
}

Form* Runtime::Find(const std::string& name) {
    auto it = loaded_.find(name);
    return it == loaded_.end() ? nullptr : it->second.get();
}

void Runtime::Show(const std::string& name) {
    Form& form = Load(name);
    form.visible_ = true;
    host_.ShowFormWindow(form, true);
}

void Runtime::Hide(const std::string& name) {
    if (Form* form = Find(name)) {
        form->visible_ = false;
        host_.ShowFormWindow(*form, false);
    }
}

void Runtime::Reopen(const std::string& name) {
    Unload(name);
    Show(name);
}

}  // namespace forms
