// The accessible name of a control that shows no caption: an option button only as wide as its
// circle. Its window text stays empty, so that nothing is drawn beside the circle at any scale
// or theme; screen readers ask the window for its accessible object (WM_GETOBJECT), and get the
// system's own object for it under the name the control's caption gives.
#include <windows.h>
// The headers below need windows.h first.
#include <oleacc.h>

#include <string>

#include "hosts/win32/win32_system.h"
#include "hosts/win32/win32_window_host.h"

namespace hosts::win32 {

namespace {

// oleacc.dll and oleaut32.dll are loaded when a screen reader first asks, never at start-up.
struct Oleacc {
    using CreateStd = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using FromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    using AllocString = BSTR(WINAPI*)(const OLECHAR*);
    CreateStd createStd = nullptr;
    FromObject fromObject = nullptr;
    AllocString allocString = nullptr;

    // Found once. A plain flag rather than a guarded static: the guard would bring the C++
    // library's thread support into the program.
    static const Oleacc& Get() {
        static Oleacc o;
        static bool loaded = false;
        if (loaded)
            return o;
        loaded = true;
        if (HMODULE dll = LoadSystemLibrary("oleacc.dll")) {
            o.createStd = ProcAddress<CreateStd>(dll, "CreateStdAccessibleObject");
            o.fromObject = ProcAddress<FromObject>(dll, "LresultFromObject");
        }
        if (HMODULE dll = LoadSystemLibrary("oleaut32.dll"))
            o.allocString = ProcAddress<AllocString>(dll, "SysAllocString");
        // A screen reader asks from its own process, and the object reaches it only through COM's
        // marshalling, which needs COM started on this thread: a single-threaded apartment, which
        // the program's message loop serves. It is never ended; the program ends its process.
        using Initialize = HRESULT(WINAPI*)(void*, DWORD);
        if (HMODULE dll = LoadSystemLibrary("ole32.dll"))
            if (auto init = ProcAddress<Initialize>(dll, "CoInitializeEx"))
                init(nullptr, COINIT_APARTMENTTHREADED);  // already started: nothing changes
        return o;
    }
};

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's object for the window, in everything but its name.
class Named final : public IAccessible {
public:
    Named(IAccessible* inner, std::wstring name) : inner_(inner), name_(std::move(name)) {}

    // IUnknown. The window the object stands for (IOleWindow) is the system object's to tell;
    // nothing else of it is handed out, since a client would read the unnamed object through it
    // (its IServiceProvider gives the system's object itself).
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IDispatch)) ||
            IsEqualIID(riid, __uuidof(IAccessible))) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        if (IsEqualIID(riid, __uuidof(IOleWindow)))
            return inner_->QueryInterface(riid, out);
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --refs_;
        if (left == 0) {
            inner_->Release();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        return inner_->GetTypeInfoCount(n);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override {
        return inner_->GetTypeInfo(i, l, t);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l,
                                            DISPID* d) override {
        return inner_->GetIDsOfNames(r, n, c, l, d);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v,
                                     EXCEPINFO* e, UINT* a) override {
        return inner_->Invoke(d, r, l, f, p, v, e, a);
    }

    // IAccessible: the name is the caption's; everything else is the system object's.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child) || !Oleacc::Get().allocString)
            return inner_->get_accName(child, name);
        if (!name)
            return E_POINTER;
        *name = Oleacc::Get().allocString(name_.c_str());
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override {
        return inner_->get_accParent(p);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* n) override {
        return inner_->get_accChildCount(n);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** p) override {
        return inner_->get_accChild(c, p);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* v) override {
        return inner_->get_accValue(c, v);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT c, BSTR* d) override {
        return inner_->get_accDescription(c, d);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT c, VARIANT* r) override {
        return inner_->get_accRole(c, r);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT* s) override {
        return inner_->get_accState(c, s);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* h) override {
        return inner_->get_accHelp(c, h);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, long* t) override {
        return inner_->get_accHelpTopic(f, c, t);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* k) override {
        return inner_->get_accKeyboardShortcut(c, k);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* c) override { return inner_->get_accFocus(c); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* c) override {
        return inner_->get_accSelection(c);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR* a) override {
        return inner_->get_accDefaultAction(c, a);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long f, VARIANT c) override {
        return inner_->accSelect(f, c);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT c) override {
        return inner_->accLocation(x, y, w, h, c);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long d, VARIANT s, VARIANT* e) override {
        return inner_->accNavigate(d, s, e);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* c) override {
        return inner_->accHitTest(x, y, c);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override {
        return inner_->accDoDefaultAction(c);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR n) override {
        return inner_->put_accName(c, n);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR v) override {
        return inner_->put_accValue(c, v);
    }

private:
    ~Named() = default;
    long refs_ = 1;
    IAccessible* inner_;
    std::wstring name_;
};

const wchar_t kNameProperty[] = L"VornkitAccessibleName";
const wchar_t kProcProperty[] = L"VornkitButtonProc";

LRESULT CALLBACK NamedProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto proc = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kProcProperty));
    if (msg == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        const Oleacc& o = Oleacc::Get();
        IAccessible* inner = nullptr;
        if (o.createStd && o.fromObject &&
            SUCCEEDED(o.createStd(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                  reinterpret_cast<void**>(&inner))) &&
            inner) {
            auto* name = static_cast<const wchar_t*>(GetPropW(hwnd, kNameProperty));
            auto* named = new Named(inner, name ? name : L"");
            const LRESULT result = o.fromObject(__uuidof(IAccessible), wParam, named);
            named->Release();  // the result holds its own reference
            return result;
        }
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
        delete[] static_cast<wchar_t*>(RemovePropW(hwnd, kNameProperty));
        RemovePropW(hwnd, kProcProperty);
    }
    return CallWindowProcW(proc, hwnd, msg, wParam, lParam);
}

}  // namespace

void GiveAccessibleName(HWND hwnd, const std::wstring& name) {
    auto* copy = new wchar_t[name.size() + 1];
    name.copy(copy, name.size());
    copy[name.size()] = L'\0';
    SetPropW(hwnd, kNameProperty, copy);
    SetPropW(hwnd, kProcProperty, reinterpret_cast<HANDLE>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)));
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NamedProc));
}

}  // namespace hosts::win32
