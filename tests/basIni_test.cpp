// Reading the settings file: how much of a value comes back, and a platform that claims more.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/basIni.h"
#include "program_fixture.h"

namespace {

using testing_support::ProgramFixture;

TEST(Settings, AValueReadsWholeUpTo254Characters) {
    ProgramFixture f;
    for (std::size_t length : {253u, 254u, 255u, 300u}) {
        SCOPED_TRACE(length);
        f.Ini("[VORNDOS]\r\nparameters=" + std::string(length, 'p') + "\r\nrunmode=1\r\n");
        EXPECT_EQ(basIni::ReadIniString(f.api, "VORNDOS", "parameters", basIni::kSettingsFile),
                  std::string(std::min<std::size_t>(length, 254), 'p'));
    }
}

// A platform that reports more characters than the buffer holds is not trusted.
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
        SCOPED_TRACE(claimed);
        api.claimed = claimed;
        EXPECT_EQ(basIni::ReadIniString(api, "S", "k", "v.ini"),
                  claimed == 254 ? std::string(254, 'x') : "");
    }
}

}  // namespace
