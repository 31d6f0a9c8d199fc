// The one checked formatter. Texts of the message table are printf formats
// written by translators, not by the code that fills them in, so a conversion
// may not fit the arguments a caller has. Each conversion is matched to the
// next argument by kind: one that fits is printed as printf would, one that
// does not (or has no argument left) is printed literally, and %n is never
// honoured. Well-formed texts give exactly printf's output.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

class FormatArg {
public:
    enum class Kind { Signed, Unsigned, Double, String, Pointer };

    template <typename T>
        requires(std::is_integral_v<T> && std::is_signed_v<T>)
    FormatArg(T v) : m_kind(Kind::Signed), m_int(static_cast<int64_t>(v)) {}
    template <typename T>
        requires(std::is_integral_v<T> && std::is_unsigned_v<T> && !std::is_same_v<T, bool>)
    FormatArg(T v) : m_kind(Kind::Unsigned), m_uint(static_cast<uint64_t>(v)) {}
    FormatArg(bool v) : m_kind(Kind::Signed), m_int(v ? 1 : 0) {}
    FormatArg(float v) : m_kind(Kind::Double), m_double(v) {}
    FormatArg(double v) : m_kind(Kind::Double), m_double(v) {}
    FormatArg(const char* v) : m_kind(Kind::String), m_str(v ? v : "(null)") {}
    FormatArg(char* v) : FormatArg(static_cast<const char*>(v)) {}
    FormatArg(const std::string& v) : m_kind(Kind::String), m_str(v.c_str()) {}
    FormatArg(const void* v) : m_kind(Kind::Pointer), m_ptr(v) {}

    Kind kind() const { return m_kind; }
    int64_t AsSigned() const { return m_kind == Kind::Unsigned ? static_cast<int64_t>(m_uint) : m_int; }
    uint64_t AsUnsigned() const { return m_kind == Kind::Signed ? static_cast<uint64_t>(m_int) : m_uint; }
    double AsDouble() const { return m_double; }
    const char* AsString() const { return m_str; }
    const void* AsPointer() const { return m_ptr; }
    bool IsInteger() const { return m_kind == Kind::Signed || m_kind == Kind::Unsigned; }

private:
    Kind m_kind;
    union {
        int64_t m_int;
        uint64_t m_uint;
        double m_double;
        const char* m_str;
        const void* m_ptr;
    };
};

std::string FormatTextArgs(std::string_view format, std::span<const FormatArg> args);

template <typename... Args>
std::string FormatText(std::string_view format, const Args&... args) {
    if constexpr (sizeof...(Args) == 0) {
        return FormatTextArgs(format, {});
    } else {
        const FormatArg list[] = {FormatArg(args)...};
        return FormatTextArgs(format, std::span<const FormatArg>(list, sizeof...(Args)));
    }
}
