// The start-with-Windows value of a program run from a folder named outside the ANSI code page:
// this very test program, copied to such a folder and run there, writes it as the general options
// dialog's OK does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "hosts/win32/win32_system.h"
#include "options/basReg.h"
#include "options/frmOptions.h"

namespace {

const char* const kChildVariable = "VORNKIT_WRITE_RUN_VALUE";

std::wstring StoredRunValue() {
    wchar_t value[1024];
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                     L"Vornkit", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"(no value)";
    return value;
}

// Run only in the copy: what OK stores with the start-up box ticked.
TEST(WidePath, WriteTheRunValueFromHere) {
    if (!GetEnvironmentVariableA(kChildVariable, nullptr, 0))
        GTEST_SKIP() << "runs only in the copy the next test starts";
    hosts::win32::Win32System system;
    ASSERT_TRUE(basReg::SetRegistryValue(
        system, basReg::kRunKey, basReg::kRunValue,
        options::StartupCommand(system, system.AppPath(), system.AppExeName())));
}

TEST(WidePath, TheRunValueOfAFolderInCyrillicAndGreekNamesTheProgram) {
    const std::wstring folder = L"C:\\Программы Ω";
    const std::wstring copy = folder + L"\\VornKit.exe";
    CreateDirectoryW(folder.c_str(), nullptr);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileW(self, copy.c_str(), FALSE));

    SetEnvironmentVariableA(kChildVariable, "1");
    std::wstring line = L"\"" + copy + L"\" --gtest_filter=WidePath.WriteTheRunValueFromHere";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(copy.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi));
    SetEnvironmentVariableA(kChildVariable, nullptr);
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(code, 0u);

    const std::wstring stored = StoredRunValue();
    EXPECT_TRUE(stored == L"\"c:\\программы ω\\vornkit.exe\"")
        << "stored: " << std::string(stored.begin(), stored.end());  // shows its ASCII at least
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
