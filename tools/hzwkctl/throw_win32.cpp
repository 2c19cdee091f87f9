// libstdc++'s helpers that throw the standard library's errors, replaced in hzwkctl.exe: its
// own build the logic_error family on a second, copy-on-write string type, which links that
// string's whole instantiation (about 60 KB with its unwind tables) into a tool that only ever
// prints what() of such an error. The same what() texts; the std::bad_* errors stay the real
// ones, as the registry code catches std::bad_alloc.
// Named in the executable's own sources, not a library: a library member is only linked for a
// name still missing, and libstdc++'s functexcept.o must never be (its names would clash).
#include <cstdarg>
#include <cstddef>
#include <exception>
#include <new>
#include <string>
#include <typeinfo>
#include <utility>

namespace __gnu_cxx {
// libstdc++'s own formatter behind __throw_out_of_range_fmt (%s, %zu, %%).
int __snprintf_lite(char* buf, std::size_t size, const char* fmt, va_list ap);
}  // namespace __gnu_cxx

namespace {

class LibraryError final : public std::exception {
public:
    explicit LibraryError(std::string text) : text_(std::move(text)) {}
    const char* what() const noexcept override { return text_.c_str(); }

private:
    std::string text_;
};

}  // namespace

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* s) { throw LibraryError(s); }
void __throw_domain_error(const char* s) { throw LibraryError(s); }
void __throw_invalid_argument(const char* s) { throw LibraryError(s); }
void __throw_length_error(const char* s) { throw LibraryError(s); }
void __throw_out_of_range(const char* s) { throw LibraryError(s); }
void __throw_runtime_error(const char* s) { throw LibraryError(s); }
void __throw_range_error(const char* s) { throw LibraryError(s); }
void __throw_overflow_error(const char* s) { throw LibraryError(s); }
void __throw_underflow_error(const char* s) { throw LibraryError(s); }

void __throw_out_of_range_fmt(const char* fmt, ...) {
    // As libstdc++ sizes it: at most two numbers and a short name go into the format.
    std::string text(std::char_traits<char>::length(fmt) + 512, '\0');
    va_list ap;
    va_start(ap, fmt);
    const int n = __gnu_cxx::__snprintf_lite(&text[0], text.size(), fmt, ap);
    va_end(ap);
    text.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    throw LibraryError(std::move(text));
}

}  // namespace std
