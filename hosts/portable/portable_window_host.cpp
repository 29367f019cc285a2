#include "hosts/portable/portable_window_host.h"

namespace hosts::portable {

platform::Handle PortableWindowHost::CreateFormWindow(forms::Form& form) {
    // A form's icon handle stands for its icon resource.
    form.SetIconHandle(form.Design().icon ? kFirstHandle - 0x100 +
                                                static_cast<platform::Handle>(form.Design().icon)
                                          : 0);
    for (forms::Control& c : form.Controls())
        c.SetWindowHandle(nextWindow_++);
    return nextWindow_++;
}

void PortableWindowHost::DestroyFormWindow(forms::Form& form) {
    for (forms::Control& c : form.Controls())
        c.SetWindowHandle(0);
    for (auto it = timers.begin(); it != timers.end();)
        it = it->first == &form ? timers.erase(it) : std::next(it);
}

forms::Size PortableWindowHost::FormOuterSize(forms::Form& form) {
    // A fixed single border adds a 3-pixel frame and a 19-pixel caption, as on Windows 9x.
    const bool framed = form.Design().border != forms::Border::None;
    const auto px = static_cast<int>(twipsPerPixel);
    return {form.Design().clientWidth + (framed ? 6 * px : 0),
            form.Design().clientHeight + (framed ? 25 * px : 0)};
}

}  // namespace hosts::portable
