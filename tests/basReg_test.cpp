// Writing the start-up value: key paths, registry failures and their messages.
#include <gtest/gtest.h>

#include <climits>

#include "fake_api.h"
#include "options/basReg.h"

using testing_support::FakeApi;
using testing_support::TempDir;

namespace {

TEST(SetRegistryValue, WritesTheCharactersOnlyOrShowsOneMessageAndClosesOnlyAnOpenedKey) {
    using basReg::kRunKey;
    const std::string open = "reg.open " + testing_support::RootKeyText(0x80000002u) +
                             " SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run 131078";
    const std::string format = "msgbox Vornkit ok Incorrect Format:\r\n\r\n";
    const std::string noMainKey = "msgbox Vornkit ok Not a valid main key handle";
    const std::string openError = "msgbox Registry Open Error ok+stop ";
    const std::string set = "reg.set Vornkit=", length = " type 1 length ";
    const struct {
        std::string path, data;
        int openResult, setResult;  // -1: what the registry answers
        std::vector<std::string> log;
    } cases[] = {
        {kRunKey, "c:\\a b.exe", -1, -1, {open, set + "c:\\a b.exe" + length + "10", "reg.close"}},
        {kRunKey, "", -1, -1, {open, set + length + "0", "reg.close"}},
        {"hkey_users\\x", "v", -1, -1, {format + "hkey_users\\x"}},
        {"HKEY_USERS\\x\\", "v", -1, -1, {format + "HKEY_USERS\\x\\"}},
        {"", "v", -1, -1, {format}},
        {"HKEY_NOPE\\x", "v", -1, -1, {noMainKey}},
        {"HKEY_Users\\x", "v", -1, -1, {noMainKey}},
        {kRunKey, "v", 5, -1, {open, openError + "Access to this key is denied"}},
        {kRunKey,
         "v",
         -1,
         1013,
         {open, set + "v" + length + "1", "msgbox Registry Write Error ok+stop Can't Write Key",
          "reg.close"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + " [" + c.data + "]");
        TempDir dir;
        FakeApi api(dir.Path());
        api.CreateRegistryKey(basReg::kRunKey);
        api.CreateRegistryKey("HKEY_CURRENT_USER");
        if (c.openResult >= 0)
            api.openResult = c.openResult;
        if (c.setResult >= 0)
            api.setResult = c.setResult;
        const bool stored = c.log.size() == 3 && c.log.back() == "reg.close";
        EXPECT_EQ(basReg::SetRegistryValue(api, c.path, "Vornkit", c.data), stored);
        EXPECT_EQ(api.log, c.log);
        const std::string* value = api.RegistryValue(c.path, "Vornkit");
        EXPECT_EQ(value ? *value : "(none)", stored ? c.data : "(none)");
    }
}

// Windows makes its root keys from 32-bit values through a signed long: a 64-bit program must
// hand them over sign-extended, or the registry sees an invalid handle.
TEST(ParseKeyPath, TheRootsAreThePlatformsOwnHandlesAndNothingStaleIsKept) {
    TempDir dir;
    FakeApi api(dir.Path());
    const std::string roots[] = {
        "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",     "HKEY_LOCAL_MACHINE",
        "HKEY_USERS",        "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG",
        "HKEY_DYN_DATA",     "HKEY_USERSX",           "bad"};
    const std::uint64_t high = sizeof(void*) == 8 ? 0xFFFFFFFF00000000ull : 0;
    for (std::uint32_t i = 0; i < std::size(roots); ++i) {
        const std::string path = i == 0 ? roots[i] : roots[i] + "\\a\\b";
        SCOPED_TRACE(path);
        platform::Handle mainKey = 12345;
        std::string subKey = "stale";
        basReg::ParseKeyPath(api, path, mainKey, subKey);
        EXPECT_EQ(static_cast<std::uint64_t>(mainKey), i < 7 ? high | (0x80000000u + i) : 0);
        EXPECT_EQ(subKey, i == 0 || i == 8 ? "" : "a\\b");
    }
}

// The codes with a text of their own show it (those the options dialog can meet are in the cases
// above); any other shows its number, right-aligned after the words.
TEST(GetRegistryErrorText, AnUnknownCodeShowsItsNumber) {
    for (const auto& [code, text] :
         {std::pair<std::int32_t, std::string>{0, "Undefined Error Code:   0"},
          {1014, "Undefined Error Code:   1014"},
          {-1, "Undefined Error Code:  -1"},
          {INT_MIN, "Undefined Error Code:  -2147483648"}})
        EXPECT_EQ(basReg::GetRegistryErrorText(code), text) << code;
}

}  // namespace
