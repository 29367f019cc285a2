// What a screen reader finds in the applet options dialogs, through Microsoft Active
// Accessibility on the real windows: every option button's name, and each describing label just
// before the control it describes.
#include <windows.h>
// The headers below need windows.h first.
#include <oleacc.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "started.h"

namespace {

// IID_IAccessible, spelt out: the test finds oleacc.dll at run time rather than linking it.
const GUID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// IID_IServiceProvider: the system's own object answers it, and through it a client reaches that
// object itself, unnamed.
const GUID kIidServiceProvider = {
    0x6d5140c1, 0x7436, 0x11ce, {0x80, 0x34, 0x00, 0xaa, 0x00, 0x60, 0x09, 0xfa}};

// The name a screen reader gives the window, "(no accessible object)" when there is none, and
// "(unnamed object offered)" when the object hands out a way to the system's unnamed one.
std::wstring AccessibleName(HWND hwnd) {
    using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    static HMODULE oleacc = LoadLibraryA("oleacc.dll");
    static auto fromWindow = reinterpret_cast<FromWindow>(
        reinterpret_cast<void*>(GetProcAddress(oleacc, "AccessibleObjectFromWindow")));
    if (!fromWindow)
        return L"(no oleacc)";
    IAccessible* object = nullptr;
    if (FAILED(fromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                          reinterpret_cast<void**>(&object))) ||
        !object)
        return L"(no accessible object)";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring out = L"(no name)";
    if (SUCCEEDED(object->get_accName(self, &name)) && name)
        out = name;
    SysFreeString(name);
    IUnknown* services = nullptr;
    if (SUCCEEDED(
            object->QueryInterface(kIidServiceProvider, reinterpret_cast<void**>(&services))) &&
        services) {
        services->Release();
        out = L"(unnamed object offered)";
    }
    object->Release();
    return out;
}

struct Accessible : testing_support::Started {
    Accessible() { CoInitialize(nullptr); }
    ~Accessible() { CoUninitialize(); }
    HWND Window(forms::Form& form, const char* control) {
        return reinterpret_cast<HWND>(form[control].WindowHandle());
    }
};

const char* const kDialogs[] = {"frmTDOpt", "frmTEOpt", "frmTCOpt", "frmTNOpt"};

TEST(Accessibility, EveryOptionButtonIsNamedByItsLabelsWord) {
    Accessible a;
    const std::map<std::string, std::wstring> word = {
        {"optNorm", L"Normal"}, {"optMin", L"Minimized"}, {"optMax", L"Maximized"}};
    for (const char* dialog : kDialogs) {
        a.program.Forms().Reopen(dialog);
        a.Pump();
        forms::Form& form = *a.program.Forms().Find(dialog);
        int named = 0;
        for (const forms::Control& c : form.Controls()) {
            if (c.Design().kind != forms::Kind::OptionButton)
                continue;
            SCOPED_TRACE(std::string(dialog) + " " + c.Name());
            EXPECT_EQ(AccessibleName(reinterpret_cast<HWND>(c.WindowHandle())), word.at(c.Name()));
            ++named;
        }
        EXPECT_EQ(named, std::string(dialog) == "frmTDOpt" ? 2 : 3) << dialog;
    }
}

// Screen readers name a control that shows no text of its own (the parameters box) from the
// label just before it in z-order.
TEST(Accessibility, TheParametersPromptComesJustBeforeTheParametersBox) {
    Accessible a;
    for (const char* dialog : {"frmTDOpt", "frmTEOpt"}) {
        SCOPED_TRACE(dialog);
        a.program.Forms().Reopen(dialog);
        a.Pump();
        forms::Form& form = *a.program.Forms().Find(dialog);
        EXPECT_EQ(GetWindow(a.Window(form, "txtParam"), GW_HWNDPREV), a.Window(form, "Label6"));
    }
}

}  // namespace
