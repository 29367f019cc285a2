// The program catches no exception: one that escaped would end it anyway. With libstdc++ the
// library's own error paths (a string or vector grown past its limit, a failed allocation, an
// empty std::function called) end the program at once instead of building exception objects,
// and the verbose terminate handler, which would demangle names for a console this GUI program
// does not have, is replaced too. Together that keeps about 100 KiB of unused library code out of
// the executable.
#include <cstdlib>
#include <functional>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() {
    std::abort();
}
void __throw_bad_array_new_length() {
    std::abort();
}
void __throw_bad_function_call() {
    std::abort();
}
void __throw_length_error(const char*) {
    std::abort();
}
void __throw_logic_error(const char*) {
    std::abort();
}
void __throw_out_of_range(const char*) {
    std::abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
    std::abort();
}
void __throw_invalid_argument(const char*) {
    std::abort();
}
}  // namespace std
#endif
