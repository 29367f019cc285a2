// Writing the start-up value: key paths, registry failures and their messages.
#include <gtest/gtest.h>

#include <climits>

#include "fake_api.h"
#include "options/basReg.h"

using testing_support::FakeApi;
using testing_support::TempDir;

namespace {

const std::string kRunSubKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(SetRegistryValue, SplitsThePathAndWritesTheCharactersOnly) {
    const struct {
        std::string path, data, open;
    } cases[] = {
        {basReg::kRunKey, "c:\\vornkit\\vornkit.exe",
         "reg.open " + testing_support::RootKeyText(0x80000002u) + " " + kRunSubKey},
        {basReg::kRunKey, "",
         "reg.open " + testing_support::RootKeyText(0x80000002u) + " " + kRunSubKey},
        {"HKEY_CURRENT_USER", "x y", "reg.open " + testing_support::RootKeyText(0x80000001u) + " "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + " [" + c.data + "]");
        TempDir dir;
        FakeApi api(dir.Path());
        api.CreateRegistryKey(c.path);
        EXPECT_TRUE(basReg::SetRegistryValue(api, c.path, "Vornkit", c.data));
        EXPECT_EQ(api.log,
                  (std::vector<std::string>{c.open + " 131078",
                                            "reg.set Vornkit=" + c.data + " type 1 length " +
                                                std::to_string(c.data.size()),
                                            "reg.close"}));
        const std::string* stored = api.RegistryValue(c.path, "Vornkit");
        ASSERT_NE(stored, nullptr);
        EXPECT_EQ(*stored, c.data);
    }
}

TEST(SetRegistryValue, FailuresShowOneMessageAndCloseOnlyAnOpenedKey) {
    const std::string format = "msgbox Vornkit 0 Incorrect Format:\r\n\r\n";
    const std::string noMainKey = "msgbox Vornkit 0 Not a valid main key handle";
    const std::string open =
        "reg.open " + testing_support::RootKeyText(0x80000002u) + " " + kRunSubKey + " 131078";
    const std::string openError = "msgbox Registry Open Error 16 ";
    const std::string writeError = "msgbox Registry Write Error 16 ";
    const struct {
        std::string path;
        bool createKey;
        std::optional<std::int32_t> openResult, setResult;
        std::vector<std::string> log;
    } cases[] = {
        {"hkey_users\\x", true, {}, {}, {format + "hkey_users\\x"}},
        {"HKEY_USERS\\x\\", true, {}, {}, {format + "HKEY_USERS\\x\\"}},
        {"", true, {}, {}, {format}},
        {"HKEY_NOPE\\x", true, {}, {}, {noMainKey}},
        {"HKEY_Users\\x", true, {}, {}, {noMainKey}},
        {basReg::kRunKey, false, {}, {}, {open, openError + "Bad Key Name"}},
        {basReg::kRunKey, true, 5, {}, {open, openError + "Access to this key is denied"}},
        {basReg::kRunKey,
         true,
         {},
         1013,
         {open, "reg.set Vornkit=v type 1 length 1", writeError + "Can't Write Key", "reg.close"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        TempDir dir;
        FakeApi api(dir.Path());
        if (c.createKey)
            api.CreateRegistryKey(c.path);
        api.openResult = c.openResult;
        api.setResult = c.setResult;
        EXPECT_FALSE(basReg::SetRegistryValue(api, c.path, "Vornkit", "v"));
        EXPECT_EQ(api.log, c.log);
    }
}

// Windows makes its root keys from 32-bit values through a signed long: a 64-bit program must
// hand them over sign-extended, or the registry sees an invalid handle.
TEST(GetMainKeyHandle, TheRootsAreThePlatformsOwnHandlesInEachBuild) {
    const char* names[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",     "HKEY_LOCAL_MACHINE",
                           "HKEY_USERS",        "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG",
                           "HKEY_DYN_DATA"};
    const std::uint64_t high = sizeof(void*) == 8 ? 0xFFFFFFFF00000000ull : 0;
    for (std::uint32_t i = 0; i < 7; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(static_cast<std::uint64_t>(basReg::GetMainKeyHandle(names[i])),
                  high | (0x80000000u + i));
    }
    EXPECT_EQ(basReg::GetMainKeyHandle("HKEY_LOCAL_MACHINE\\SOFTWARE"), 0u);
}

// What the unit tests' registry refuses, as Windows does: a handle that is no root opens
// nothing, and a key once closed takes neither a value nor a second close.
TEST(Registry, OnlyARootOpensAndOnlyAnOpenKeyTakesAValueOrAClose) {
    TempDir dir;
    FakeApi api(dir.Path());
    platform::Handle opened = 0;
    for (platform::Handle key : {platform::kHkeyClassesRoot - 1, platform::kHkeyDynData + 1})
        EXPECT_EQ(api.RegOpenKeyExA(key, "", 0, 0, &opened), 6);
    api.CreateRegistryKey("HKEY_CLASSES_ROOT");
    ASSERT_EQ(api.RegOpenKeyExA(platform::kHkeyClassesRoot, "", 0, 0, &opened), 0);
    EXPECT_EQ(api.RegCloseKey(opened), 0);
    EXPECT_EQ(api.RegCloseKey(opened), 6);
    EXPECT_EQ(api.RegSetValueExW(opened, "v", 0, 1, "x", 1), 6);
}

TEST(ParseKeyPath, KeepsNothingFromTheCallersVariables) {
    TempDir dir;
    FakeApi api(dir.Path());
    for (const std::string path : {"HKEY_CLASSES_ROOT", "bad"}) {
        SCOPED_TRACE(path);
        platform::Handle mainKey = 12345;
        std::string subKey = "stale";
        basReg::ParseKeyPath(api, path, mainKey, subKey);
        EXPECT_EQ(mainKey, path == "bad" ? 0 : platform::kHkeyClassesRoot);
        EXPECT_EQ(subKey, "");
    }
}

TEST(GetRegistryErrorText, KnownCodesAndTheNumberedFallback) {
    const struct {
        std::int32_t code;
        std::string text;
    } cases[] = {
        {2, "Bad Key Name"},
        {1010, "Bad Key Name"},
        {4, "Can't Read Key"},
        {1012, "Can't Read Key"},
        {5, "Access to this key is denied"},
        {8, "Out of memory"},
        {14, "Out of memory"},
        {87, "Invalid Parameter"},
        {234, "There is more data than the buffer has been allocated to hold."},
        {1009, "The Registry Database is corrupt!"},
        {1015, "The Registry Database is corrupt!"},
        {1011, "Can't Open Key"},
        {1013, "Can't Write Key"},
        {0, "Undefined Error Code:   0"},
        {6, "Undefined Error Code:   6"},
        {1014, "Undefined Error Code:   1014"},
        {-1, "Undefined Error Code:  -1"},
        {INT_MIN, "Undefined Error Code:  -2147483648"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(basReg::GetRegistryErrorText(c.code), c.text);
    }
}

}  // namespace
