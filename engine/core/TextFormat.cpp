#include "engine/core/TextFormat.h"

#include <cstdio>
#include <cstring>

namespace {

bool IsFlag(char c) { return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0' || c == '\''; }

// Formats one value with a validated conversion spec (flags, width, precision,
// conversion letter; no length modifier).
template <typename T>
void Append(std::string& out, const std::string& spec, T value) {
    char small[128];
    int n = std::snprintf(small, sizeof(small), spec.c_str(), value);
    if (n < 0) return;
    if (static_cast<size_t>(n) < sizeof(small)) {
        out.append(small, static_cast<size_t>(n));
        return;
    }
    std::string big(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), spec.c_str(), value);
    out.append(big.data(), static_cast<size_t>(n));
}

}  // namespace

std::string FormatTextArgs(std::string_view format, std::span<const FormatArg> args) {
    std::string out;
    out.reserve(format.size() + 16 * args.size());
    size_t next = 0;
    size_t i = 0;
    while (i < format.size()) {
        char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        // Parse %[flags][width][.precision][length]conv.
        size_t start = i;
        size_t j = i + 1;
        std::string spec = "%";
        while (j < format.size() && IsFlag(format[j])) spec += format[j++];
        bool ok = true;
        size_t used = 0;  // arguments taken by '*' fields
        auto takeStar = [&]() {
            if (next + used < args.size() && args[next + used].IsInteger()) {
                long long v = args[next + used].AsSigned();
                if (v > 4096) v = 4096;    // a hostile width must not allocate without bound
                if (v < -4096) v = -4096;
                spec += std::to_string(v);
                ++used;
            } else {
                ok = false;
            }
        };
        if (j < format.size() && format[j] == '*') {
            takeStar();
            ++j;
        } else {
            while (j < format.size() && format[j] >= '0' && format[j] <= '9') spec += format[j++];
        }
        if (j < format.size() && format[j] == '.') {
            spec += format[j++];
            if (j < format.size() && format[j] == '*') {
                takeStar();
                ++j;
            } else {
                while (j < format.size() && format[j] >= '0' && format[j] <= '9') spec += format[j++];
            }
        }
        // Length modifiers are accepted and dropped: the argument's own kind decides the width.
        while (j < format.size() && std::strchr("hlLqjzt", format[j])) ++j;
        if (j < format.size() && format[j] == 'I') {
            // The Windows runtime's I64 / I32 modifiers.
            if (format.substr(j, 3) == "I64" || format.substr(j, 3) == "I32") j += 3;
            else ++j;
        }
        if (j >= format.size()) {
            out.append(format.substr(start));
            break;
        }
        char conv = format[j];
        size_t end = j + 1;
        // Widths above 4096 are clamped too.
        if (ok) {
            size_t digitsAt = 1;
            while (digitsAt < spec.size() && IsFlag(spec[digitsAt])) ++digitsAt;
            size_t k = digitsAt;
            while (k < spec.size() && spec[k] >= '0' && spec[k] <= '9') ++k;
            if (k - digitsAt > 4 || (k > digitsAt && std::stoi(spec.substr(digitsAt, k - digitsAt)) > 4096)) ok = false;
            size_t dot = spec.find('.');
            if (dot != std::string::npos) {
                size_t p = dot + 1;
                while (p < spec.size() && spec[p] >= '0' && spec[p] <= '9') ++p;
                if (p - dot - 1 > 4 || (p > dot + 1 && std::stoi(spec.substr(dot + 1, p - dot - 1)) > 4096)) ok = false;
            }
        }
        const FormatArg* arg = (ok && next + used < args.size()) ? &args[next + used] : nullptr;
        bool printed = false;
        if (arg) {
            switch (conv) {
                case 'd':
                case 'i':
                    if (arg->IsInteger()) {
                        Append(out, spec + "lld", static_cast<long long>(arg->AsSigned()));
                        printed = true;
                    }
                    break;
                case 'u':
                case 'x':
                case 'X':
                case 'o':
                    if (arg->IsInteger()) {
                        // Like the 32-bit original, a negative int prints as its 32-bit pattern.
                        unsigned long long v = arg->AsUnsigned();
                        if (arg->kind() == FormatArg::Kind::Signed && arg->AsSigned() < 0 &&
                            arg->AsSigned() >= INT32_MIN)
                            v = static_cast<uint32_t>(arg->AsSigned());
                        Append(out, spec + "ll" + conv, v);
                        printed = true;
                    }
                    break;
                case 'c':
                    if (arg->IsInteger()) {
                        Append(out, spec + "c", static_cast<int>(static_cast<unsigned char>(arg->AsSigned())));
                        printed = true;
                    }
                    break;
                case 'f':
                case 'F':
                case 'e':
                case 'E':
                case 'g':
                case 'G':
                case 'a':
                case 'A':
                    if (arg->kind() == FormatArg::Kind::Double) {
                        Append(out, spec + conv, arg->AsDouble());
                        printed = true;
                    }
                    break;
                case 's':
                    if (arg->kind() == FormatArg::Kind::String) {
                        Append(out, spec + "s", arg->AsString());
                        printed = true;
                    }
                    break;
                case 'p':
                    if (arg->kind() == FormatArg::Kind::Pointer) {
                        Append(out, spec + "p", arg->AsPointer());
                        printed = true;
                    }
                    break;
                default:  // %n and anything unknown are never honoured
                    break;
            }
        }
        if (printed) {
            next += used + 1;
        } else {
            out.append(format.substr(start, end - start));
        }
        i = end;
    }
    return out;
}
