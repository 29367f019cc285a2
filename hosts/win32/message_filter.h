// The message filter of User Interface Privilege Isolation (Windows Vista and later). An elevated
// program gets no registered message from the lower-integrity shell, "TaskbarCreated" among them,
// unless it lets that message through. Both functions are found at run time, so that the program
// still starts where neither exists.
#pragma once

#include <windows.h>

namespace hosts::win32 {

struct MessageFilter {
    using ForWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);  // ChangeWindowMessageFilterEx (7)
    using ForProcess = BOOL(WINAPI*)(UINT, DWORD);              // ChangeWindowMessageFilter (Vista)
    ForWindow forWindow = nullptr;
    ForProcess forProcess = nullptr;

    static MessageFilter OfSystem();
    // Lets `message` through to `hwnd`: for the window alone where Windows can, else for the
    // whole process.
    void Allow(HWND hwnd, UINT message) const;
};

}  // namespace hosts::win32
