// The system calls on the real platform, run as a Windows program: what reaches the registry and
// the programs started, byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "hosts/win32/win32_system.h"
#include "options/basReg.h"

namespace {

using platform::Handle;
using platform::win32::Win32System;

TEST(Registry, TheRootsAreThePlatformsOwnHandles) {
    const struct {
        const char* name;
        HKEY key;
    } roots[] = {{"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                 {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                 {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                 {"HKEY_USERS", HKEY_USERS},
                 {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
                 {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
                 {"HKEY_DYN_DATA", HKEY_DYN_DATA}};
    for (const auto& root : roots)
        EXPECT_EQ(basReg::GetMainKeyHandle(root.name), reinterpret_cast<Handle>(root.key))
            << root.name;
}

// A string value as the registry holds it: its type and its bytes.
std::pair<DWORD, std::string> Stored(const char* subKey, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {0, "(no key)"};
    DWORD type = 0, size = 0;
    RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    std::string data(size, '\x7F');
    RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(key);
    return {type, data.substr(0, size)};
}

TEST(Registry, StringValuesAreStoredWithTheirNulAndKeysClosedOnce) {
    const char* subKey = "Software\\VornkitTests";
    HKEY made = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, subKey, &made), ERROR_SUCCESS);
    RegCloseKey(made);
    Win32System system;
    for (const std::string value : {"c:\\vornkit\\vornkit.exe", "\"c:\\a b\\x.exe\"", ""}) {
        SCOPED_TRACE(value);
        ASSERT_TRUE(basReg::SetRegistryValue(system, "HKEY_CURRENT_USER\\" + std::string(subKey),
                                             "Vornkit", value));
        EXPECT_EQ(Stored(subKey, "Vornkit"), std::make_pair(DWORD{REG_SZ}, value + '\0'));
    }
    Handle key = 0;
    ASSERT_EQ(system.RegOpenKeyExA(reinterpret_cast<Handle>(HKEY_CURRENT_USER), subKey, 0,
                                   KEY_WRITE, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(system.RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_NE(system.RegCloseKey(key), ERROR_SUCCESS);  // already closed
    RegDeleteKeyA(HKEY_CURRENT_USER, subKey);
}

// The stand-in program beside the tests' program records how it was started.
std::string StandinLog() {
    std::ifstream in("C:\\standin.log", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(StartProgram, TheCommandLineAndShowCodeArriveAsGiven) {
    DeleteFileA("C:\\standin.log");
    Win32System system;
    ASSERT_TRUE(system.StartProgram("standin.exe /k dir  ", 2));
    for (int i = 0; i < 200 && StandinLog().empty(); ++i)
        Sleep(50);
    EXPECT_EQ(StandinLog(), "standin.exe\tstandin.exe /k dir  \t2\r\n");
    EXPECT_FALSE(system.StartProgram("no-such-program.exe", 1));
}

// The kernel handles this process holds, found by asking after each possible value (Wine's
// GetProcessHandleCount answers 0).
int OpenHandles() {
    int open = 0;
    DWORD flags = 0;
    for (std::uintptr_t h = 4; h < 0x10000; h += 4)
        open += GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags) ? 1 : 0;
    return open;
}

// The program keeps nothing of what it starts: each start gives back its process and thread
// handles, or a day of clicks would pile up hundreds of them.
TEST(StartProgram, KeepsNoHandleOfTheProgramStarted) {
    Win32System system;
    ASSERT_TRUE(system.StartProgram("standin.exe", 1));  // the first start loads what it needs
    const int before = OpenHandles();
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(system.StartProgram("standin.exe", 1));
    EXPECT_EQ(OpenHandles(), before);
    EXPECT_GT(before, 0);
}

// The shell finds an icon again by the window and number it was added with, so both must reach
// it whole, in the record size it takes.
TEST(NotifyIcon, TheShellKnowsTheIconByItsWindowAndNumber) {
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    platform::NotifyIconData record{};
    record.cbSize = platform::kNotifyIconDataSize;
    record.hWnd = reinterpret_cast<Handle>(window);
    record.uID = 1;
    record.uFlags = platform::kNifMessage | platform::kNifIcon | platform::kNifTip;
    record.uCallbackMessage = WM_MOUSEMOVE;
    record.hIcon = reinterpret_cast<Handle>(LoadIconA(nullptr, IDI_APPLICATION));
    std::strcpy(record.szTip, "Vorn test");
    Win32System system;
    ASSERT_TRUE(system.Shell_NotifyIconA(platform::kNimAdd, record));
    EXPECT_TRUE(system.Shell_NotifyIconA(platform::kNimModify, record));
    platform::NotifyIconData other = record;
    other.uID = 2;
    EXPECT_FALSE(system.Shell_NotifyIconA(platform::kNimModify, other));
    EXPECT_TRUE(system.Shell_NotifyIconA(platform::kNimDelete, record));
    EXPECT_FALSE(system.Shell_NotifyIconA(platform::kNimDelete, record));
    DestroyWindow(window);
}

}  // namespace
