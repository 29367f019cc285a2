// A DLL lying beside the program is never loaded in place of a system one.
#include <windows.h>

#include <gtest/gtest.h>

#include "hosts/win32/win32_system.h"

namespace {

constexpr DWORD kDefaultDirs = 0x00001000;  // LOAD_LIBRARY_SEARCH_DEFAULT_DIRS

TEST(DllSearch, OnlyTheSystemFolderIsSearchedOnceRestricted) {
    HMODULE planted = LoadLibraryA("planted.dll");
    ASSERT_NE(planted, nullptr) << "planted.dll should lie beside the tests' program";
    FreeLibrary(planted);

    hosts::win32::RestrictDllSearchToSystemFolder();
    EXPECT_EQ(LoadLibraryA("planted.dll"), nullptr);
    HMODULE comctl32 = hosts::win32::LoadSystemLibrary("comctl32.dll");
    EXPECT_NE(comctl32, nullptr);
    EXPECT_NE(GetProcAddress(comctl32, "InitCommonControlsEx"), nullptr);
    EXPECT_EQ(hosts::win32::LoadSystemLibrary("planted.dll"), nullptr);

    // The other tests run with the search as it was.
    using SetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    auto set = reinterpret_cast<SetDefaultDllDirectories>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    ASSERT_NE(set, nullptr);
    set(kDefaultDirs);
}

}  // namespace
