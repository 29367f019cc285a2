// The unit tests' own registry, which refuses what Windows refuses.
#include <gtest/gtest.h>

#include "fake_api.h"

using testing_support::FakeApi;
using testing_support::TempDir;

namespace {

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

}  // namespace
