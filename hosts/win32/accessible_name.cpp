// The accessible name of a control that shows no caption: an option button only as wide as its
// circle. Its window text stays empty, so that nothing is drawn beside the circle at any scale
// or theme; screen readers ask the window for its accessible object (WM_GETOBJECT), and get the
// system's own object for it under the name the control's caption gives.
//
// Windows has a shorter way to name a window's object, Dynamic Annotation
// (IAccPropServices::SetHwndPropStr with PROPID_ACC_NAME), but Wine 8.0, where the program is
// tested, has it in name only: CoCreateInstance(CLSID_AccPropServices) succeeds, then
// SetHwndPropStr, SetHwndProp, ComposeHwndIdentityString and ClearHwndProps each return
// E_NOTIMPL (0x80004001) and keep nothing, and get_accName on the button's object still answers
// S_FALSE with no name. The window therefore answers WM_GETOBJECT itself.
#include <windows.h>
// The headers below need windows.h first.
#include <oleacc.h>

#include <memory>
#include <string>

#include "hosts/win32/accessible_name.h"
#include "hosts/win32/win32_system.h"

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

// One reference to a COM object, released when its owner goes.
struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <class T>
using ComRef = std::unique_ptr<T, ComRelease>;

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's object for the window, in everything but its name.
class Named final : public IAccessible {
public:
    Named(ComRef<IAccessible> inner, std::wstring name)
        : inner_(std::move(inner)), name_(std::move(name)) {}

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
        if (left == 0)
            delete this;
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
    ComRef<IAccessible> inner_;
    std::wstring name_;
};

// What a named window keeps, under a window property, until it goes: its name, and the procedure
// that was its own.
struct Naming {
    std::wstring name;
    WNDPROC proc;
};

const wchar_t kNamingProperty[] = L"VornkitAccessibleName";

LRESULT CALLBACK NamedProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* naming = static_cast<Naming*>(GetPropW(hwnd, kNamingProperty));
    const WNDPROC proc = naming->proc;
    if (msg == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        const Oleacc& o = Oleacc::Get();
        IAccessible* inner = nullptr;
        if (o.createStd && o.fromObject &&
            SUCCEEDED(o.createStd(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                  reinterpret_cast<void**>(&inner))) &&
            inner) {
            // The result holds a reference of its own; this one goes with the scope.
            const ComRef<Named> named(new Named(ComRef<IAccessible>(inner), naming->name));
            return o.fromObject(__uuidof(IAccessible), wParam, named.get());
        }
    }
    if (msg == WM_NCDESTROY) {
        const std::unique_ptr<Naming> gone(
            static_cast<Naming*>(RemovePropW(hwnd, kNamingProperty)));
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    }
    return CallWindowProcW(proc, hwnd, msg, wParam, lParam);
}

}  // namespace

void GiveAccessibleName(HWND hwnd, const std::wstring& name) {
    auto naming = std::make_unique<Naming>(
        Naming{name, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC))});
    if (!SetPropW(hwnd, kNamingProperty, naming.get()))
        return;        // the control stays unnamed
    naming.release();  // the window's now: NamedProc frees it with the window
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NamedProc));
}

}  // namespace hosts::win32
