// The system calls on the real platform keep nothing of what they start or write: a day of clicks
// and OKs would otherwise pile up hundreds of process, thread and registry handles.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "hosts/win32/win32_system.h"
#include "options/basReg.h"

namespace {

// The kernel handles this process holds, found by asking after each possible value (Wine's
// GetProcessHandleCount answers 0).
int OpenHandles() {
    int open = 0;
    DWORD flags = 0;
    for (std::uintptr_t h = 4; h < 0x10000; h += 4)
        open += GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags) ? 1 : 0;
    return open;
}

TEST(Handles, NoneIsKeptOfAProgramStartedOrAValueWritten) {
    hosts::win32::Win32System system;
    const auto startAndWrite = [&] {
        ASSERT_TRUE(system.StartProgram("", "standin.exe", 1));
        ASSERT_TRUE(
            basReg::SetRegistryValue(system, "HKEY_CURRENT_USER\\Software", "Vornkit", "x"));
    };
    startAndWrite();  // the first time loads what it needs
    const int before = OpenHandles();
    for (int i = 0; i < 5; ++i)
        startAndWrite();
    EXPECT_EQ(OpenHandles(), before);
    EXPECT_GT(before, 0);
}

// The value written reads back as written: the start-up write of a standard user, refused, is
// quiet only when the value already says what was asked for.
TEST(Registry, AValueReadsBackAsWritten) {
    hosts::win32::Win32System system;
    const platform::Handle user = platform::PredefinedKey(0x80000001u);
    ASSERT_TRUE(basReg::SetRegistryValue(system, "HKEY_CURRENT_USER\\Software", "Vornkit",
                                         "c:\\été\\vornkit.exe"));
    EXPECT_TRUE(
        basReg::ValueAlreadySays(system, user, "Software", "Vornkit", "c:\\été\\vornkit.exe"));
    EXPECT_FALSE(basReg::ValueAlreadySays(system, user, "Software", "Vornkit", "c:\\ete"));
    EXPECT_FALSE(basReg::ValueAlreadySays(system, user, "Software", "Vornkit", ""));
    EXPECT_TRUE(basReg::ValueAlreadySays(system, user, "Software", "NoSuchValue", ""));
    EXPECT_TRUE(basReg::ValueAlreadySays(system, user, "Software\\NoSuchKey", "Vornkit", ""));
}

}  // namespace
