// The icon's mouse messages as the platform hands them in (any float bit patterns for the
// coordinate and the scale) and the icon record built from any tip text.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "applets/applet_window.h"

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

float FloatFromBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider fuzz(data, size);
    const float x = FloatFromBits(fuzz.ConsumeIntegral<std::uint32_t>());
    const float twipsPerPixel = FloatFromBits(fuzz.ConsumeIntegral<std::uint32_t>());
    const std::int32_t message = applets::DecodeMessage(x, twipsPerPixel);
    if (!(twipsPerPixel > 0) || std::isnan(x))
        Check(message == 0);
    else if (message != 0)
        Check(std::fabs(static_cast<double>(x) / twipsPerPixel - message) <= 0.5);

    const auto pichook = fuzz.ConsumeIntegral<platform::Handle>();
    const auto icon = fuzz.ConsumeIntegral<platform::Handle>();
    const std::string tip = fuzz.ConsumeRemainingBytesAsString();
    const platform::NotifyIconData r = applets::MakeIconRecord(pichook, icon, tip);
    Check(r.cbSize == (sizeof(void*) == 4 ? 88u : 104u) && r.hWnd == pichook && r.uID == 1 &&
          r.hIcon == icon);
    // The tip's first 63 characters, a NUL, blanks up to 64 bytes.
    const std::size_t n = std::min<std::size_t>(tip.size(), sizeof r.szTip - 1);
    Check(std::memcmp(r.szTip, tip.data(), n) == 0);
    Check(r.szTip[n] == '\0');
    for (std::size_t i = n + 1; i < sizeof r.szTip; ++i)
        Check(r.szTip[i] == ' ');
    return 0;
}
