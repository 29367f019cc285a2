// What a screen reader finds in the applet options dialogs, through Microsoft Active
// Accessibility on the real windows: every option button's name, no way to the system's unnamed
// object behind it, and the describing label just before the control it describes.
#include <windows.h>
// The headers below need windows.h first.
#include <oleacc.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "started.h"

namespace {

// The name a screen reader gives the window, "(no accessible object)" when there is none, and
// "(unnamed object offered)" when the object hands out a way to the system's unnamed one: its
// IServiceProvider, which the system's own object answers.
std::wstring AccessibleName(HWND hwnd) {
    using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    static HMODULE oleacc = LoadLibraryA("oleacc.dll");  // found at run time, not linked
    static auto fromWindow = reinterpret_cast<FromWindow>(
        reinterpret_cast<void*>(GetProcAddress(oleacc, "AccessibleObjectFromWindow")));
    if (!fromWindow)
        return L"(no oleacc)";
    IAccessible* object = nullptr;
    if (FAILED(fromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                          reinterpret_cast<void**>(&object))) ||
        !object)
        return L"(no accessible object)";
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring out = L"(no name)";
    if (SUCCEEDED(object->get_accName(self, &name)) && name)
        out = name;
    SysFreeString(name);
    IUnknown* services = nullptr;
    if (SUCCEEDED(object->QueryInterface(__uuidof(IServiceProvider),
                                         reinterpret_cast<void**>(&services))) &&
        services) {
        services->Release();
        out = L"(unnamed object offered)";
    }
    object->Release();
    return out;
}

// Screen readers name a control that shows no text of its own (the parameters box) from the
// label just before it in z-order.
TEST(Accessibility, EveryOptionButtonIsNamedByItsLabelsWordAndTheParametersBoxByItsPrompt) {
    const std::map<std::string, std::wstring> word = {
        {"optNorm", L"Normal"}, {"optMin", L"Minimized"}, {"optMax", L"Maximized"}};
    const struct {
        const char* dialog;
        int buttons;
        bool parameters;
    } cases[] = {{"frmTDOpt", 2, true},
                 {"frmTEOpt", 3, true},
                 {"frmTCOpt", 3, false},
                 {"frmTNOpt", 3, false}};
    testing_support::Started<> s;
    CoInitialize(nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dialog);
        s.Open(c.dialog);
        int named = 0;
        for (const forms::Control& control : s.program.Forms().Find(c.dialog)->Controls()) {
            if (control.Design().kind != forms::Kind::OptionButton)
                continue;
            EXPECT_EQ(AccessibleName(reinterpret_cast<HWND>(control.WindowHandle())),
                      word.at(control.Name()))
                << control.Name();
            ++named;
        }
        EXPECT_EQ(named, c.buttons);
        if (c.parameters) {
            EXPECT_EQ(GetWindow(s.Window(c.dialog, "txtParam"), GW_HWNDPREV),
                      s.Window(c.dialog, "Label6"));
        }
    }
    CoUninitialize();
}

}  // namespace
