// The colours the options dialogs are designed with.
#pragma once

#include <cstdint>

namespace options {

inline constexpr std::uint32_t kGrey = 0x00C0C0C0;  // behind the dialogs' pictures

}  // namespace options
