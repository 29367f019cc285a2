// Headless windows for systems without Win32: a form's window and its controls get handles and
// a size, and nothing is drawn. The unit tests' double builds on it.
#pragma once

#include <set>
#include <utility>
#include <vector>

#include "core/forms.h"
#include "core/window_host.h"
#include "hosts/portable/portable_system.h"

namespace hosts::portable {

class PortableWindowHost : public forms::WindowHost {
public:
    platform::Handle CreateFormWindow(forms::Form& form) override;
    void DestroyFormWindow(forms::Form& form) override;  // its timers stop
    void ShowFormWindow(forms::Form&, bool) override {}
    void MoveFormWindow(forms::Form&, int, int) override {}
    forms::Size FormOuterSize(forms::Form& form) override;
    void UpdateControl(forms::Form&, forms::Control&) override {}
    void BringToFront(forms::Form&) override {}
    int TrackPopupMenu(forms::Form&, const std::vector<forms::MenuItem>&,
                       const forms::MenuPlacement&) override {
        return -1;
    }
    bool MouseButtonDown() override { return mouseButtonDown; }
    void SetTopmost(forms::Form&, bool) override {}
    void StartTimer(forms::Form& form, int id, unsigned) override { timers.insert({&form, id}); }
    void StopTimer(forms::Form& form, int id) override { timers.erase({&form, id}); }

    float TwipsPerPixelX() override { return twipsPerPixel; }
    float TwipsPerPixelY() override { return twipsPerPixel; }
    int ScreenWidthTwips() override { return static_cast<int>(800 * twipsPerPixel); }
    int ScreenHeightTwips() override { return static_cast<int>(600 * twipsPerPixel); }

    float twipsPerPixel = 15.0f;
    bool mouseButtonDown = false;
    std::set<std::pair<forms::Form*, int>> timers;  // the timers running

private:
    // Window handles lie apart from the registry keys the system hands out.
    platform::Handle nextWindow_ = kFirstHandle + 0x100000;
};

}  // namespace hosts::portable
