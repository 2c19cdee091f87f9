// What happens to an exception that escapes everything, in both Windows programs.
#include <cstdio>
#include <cstdlib>
#include <exception>

// Replaces libstdc++'s handler of the same name, which demangles the exception's type name and
// so links the whole demangler (about 45 KB) into an exe that never shows that name to anyone.
// Same report otherwise, on stderr, then abort(), whose box tells the user the program ended.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    static bool entered = false;
    if (!entered) {
        entered = true;
        std::fputs("terminate called", stderr);
        if (std::exception_ptr current = std::current_exception()) {
            try {
                std::rethrow_exception(current);
            } catch (const std::exception& e) {
                std::fputs(" after throwing an exception: ", stderr);
                std::fputs(e.what(), stderr);
            } catch (...) {
                std::fputs(" after throwing an exception of unknown type", stderr);
            }
        }
        std::fputs("\n", stderr);
    }
    std::abort();
}
}  // namespace __gnu_cxx
