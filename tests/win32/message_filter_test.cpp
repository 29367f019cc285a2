// The Windows layer on the real platform, run as a Windows program: an elevated program hears the
// shell's "TaskbarCreated" only through the message filter, so every applet window opens it.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "started.h"

namespace {

struct FilterCall {
    HWND hwnd;  // nullptr for the whole process
    UINT message;
    DWORD action;
};
std::vector<FilterCall> calls;

BOOL WINAPI ForWindow(HWND hwnd, UINT message, DWORD action, void*) {
    calls.push_back({hwnd, message, action});
    return TRUE;
}
BOOL WINAPI ForProcess(UINT message, DWORD action) {
    calls.push_back({nullptr, message, action});
    return TRUE;
}

// The program started with the given filter functions, the filter calls cleared first.
struct Started : testing_support::Started {
    explicit Started(platform::win32::MessageFilter filter)
        : testing_support::Started((calls.clear(), filter)) {}
};

const UINT kTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");

TEST(MessageFilter, EveryAppletWindowLetsTaskbarCreatedThrough) {
    Started started({ForWindow, ForProcess});
    const std::vector<HWND> windows = started.AppletWindows();
    ASSERT_EQ(windows.size(), 6u);
    ASSERT_EQ(calls.size(), 6u);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        EXPECT_EQ(calls[i].hwnd, windows[i]);
        EXPECT_EQ(calls[i].message, kTaskbarCreated);
        EXPECT_EQ(calls[i].action, 1u);  // MSGFLT_ALLOW
    }
}

TEST(MessageFilter, WithoutTheWindowFormTheProcessLetsItThrough) {
    Started started({nullptr, ForProcess});
    ASSERT_EQ(calls.size(), 6u);
    for (const FilterCall& call : calls) {
        EXPECT_EQ(call.hwnd, nullptr);
        EXPECT_EQ(call.message, kTaskbarCreated);
        EXPECT_EQ(call.action, 1u);  // MSGFLT_ADD
    }
}

TEST(MessageFilter, WhereWindowsHasNeitherTheProgramStillStarts) {
    Started started({nullptr, nullptr});
    EXPECT_EQ(started.AppletWindows().size(), 6u);
    EXPECT_TRUE(calls.empty());
}

TEST(MessageFilter, TheSystemFunctionsAreFoundWhereWindowsHasThem) {
    const platform::win32::MessageFilter filter = platform::win32::MessageFilter::OfSystem();
    HMODULE user32 = GetModuleHandleA("user32.dll");
    EXPECT_EQ(filter.forWindow != nullptr,
              GetProcAddress(user32, "ChangeWindowMessageFilterEx") != nullptr);
    EXPECT_EQ(filter.forProcess != nullptr,
              GetProcAddress(user32, "ChangeWindowMessageFilter") != nullptr);
}

}  // namespace
