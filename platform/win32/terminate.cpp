// A GUI program has no console for libstdc++'s verbose terminate message: end at once instead.
// Replacing the handler also keeps the symbol demangler (about 45 KiB) out of the executable.
#include <cstdlib>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif
