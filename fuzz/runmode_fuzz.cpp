// Run modes as the user may have typed them into the settings file: arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "applets/launch.h"

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto style = applets::ToWindowStyle(text);
    // Blanks around the number change nothing.
    Check(applets::ToWindowStyle(" \t" + text + "\t ") == style);
    if (style)
        Check(applets::ToWindowStyle(std::to_string(*style)) == style);
    return 0;
}
