// The message filter's functions, found in user32.dll where Windows has them.
#include "hosts/win32/message_filter.h"

#include "hosts/win32/win32_system.h"

namespace hosts::win32 {

MessageFilter MessageFilter::OfSystem() {
    MessageFilter filter;
    if (HMODULE user32 = GetModuleHandleA("user32.dll")) {
        filter.forWindow = ProcAddress<ForWindow>(user32, "ChangeWindowMessageFilterEx");
        filter.forProcess = ProcAddress<ForProcess>(user32, "ChangeWindowMessageFilter");
    }
    return filter;
}

void MessageFilter::Allow(HWND hwnd, UINT message) const {
    constexpr DWORD kMsgfltAllow = 1;  // MSGFLT_ALLOW
    constexpr DWORD kMsgfltAdd = 1;    // MSGFLT_ADD
    if (forWindow)
        forWindow(hwnd, message, kMsgfltAllow, nullptr);
    else if (forProcess)
        forProcess(message, kMsgfltAdd);
}

}  // namespace hosts::win32
