// Reading the settings file through a platform that claims more than the buffer holds, which is
// not trusted. (How much of a value comes back: the applet dialogs' over-long parameters.)
#include <gtest/gtest.h>

#include <algorithm>

#include "core/basIni.h"
#include "fake_api.h"

namespace {

TEST(Settings, ACountBeyondTheBufferReadsAsNothing) {
    struct Api : testing_support::FakeApi {
        using FakeApi::FakeApi;
        std::uint32_t claimed = 0;
        std::uint32_t GetPrivateProfileStringA(const std::string&, const std::string&,
                                               const std::string&, char* buffer, std::uint32_t size,
                                               const std::string&) override {
            std::fill(buffer, buffer + size - 1, 'x');
            return claimed;
        }
    };
    testing_support::TempDir dir;
    Api api(dir.Path());
    for (std::uint32_t claimed : {254u, 255u, 70000u}) {
        api.claimed = claimed;
        EXPECT_EQ(basIni::ReadIniString(api, "S", "k", "v.ini"),
                  claimed == 254 ? std::string(254, 'x') : "")
            << claimed;
    }
}

}  // namespace
