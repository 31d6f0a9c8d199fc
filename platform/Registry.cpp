// The registry stores: one shared by the client and the patcher in a text file,
// and one in memory for tests.
//
// File format (bytes as stored, so code-page-949 texts stay as they are; one
// value per line, every line ends in "\n"):
//   qor-registry 1                         first line; a file without it is read as empty
//   <type>\t<key>\t<name>\t<data>\n        one line per value, in the order they were added
// <type> is "dword" (data: decimal, 0..4294967295), "string" (data: the text) or
// "binary" (data: two lowercase hex digits per byte). <key>, <name> and string
// data escape '%', every byte below 0x20 and 0x7F as "%HH" (two hex digits), so
// tabs and line breaks never appear inside a field. Key paths and value names
// match without regard to ASCII case, as the Windows registry's do; a value keeps
// the spelling it was first written with.
// A line that does not parse (unknown type, wrong field count, bad number, bad
// escape) is skipped, and so is a last line without its "\n" (a cut write), so a
// damaged file loses only the damaged values. The file is replaced atomically
// (temporary file + rename) while an exclusive flock on "<file>.lock" is held
// from the read to the rename, so two programs writing at once never lose each
// other's values.
#include "platform/Registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "platform/File.h"

namespace platform {
namespace {

constexpr std::string_view kHeader = "qor-registry 1";

enum class Type { Dword, String, Binary };

struct Value {
    std::string key;
    std::string name;
    Type type = Type::Dword;
    uint32_t dword = 0;
    std::string bytes;  // string text or binary data
};

// The values of one store with the look-up rules of the registry.
class ValueTable {
public:
    const Value* Find(std::string_view key, std::string_view name) const {
        for (const Value& v : m_values) {
            if (EqualsNoCase(v.key, key) && EqualsNoCase(v.name, name)) return &v;
        }
        return nullptr;
    }
    Value& Put(std::string_view key, std::string_view name) {
        if (const Value* v = Find(key, name)) return const_cast<Value&>(*v);
        Value& v = m_values.emplace_back();
        v.key = key;
        v.name = name;
        return v;
    }
    bool Erase(std::string_view key, std::string_view name) {
        for (auto it = m_values.begin(); it != m_values.end(); ++it) {
            if (EqualsNoCase(it->key, key) && EqualsNoCase(it->name, name)) {
                m_values.erase(it);
                return true;
            }
        }
        return false;
    }
    const std::vector<Value>& Values() const { return m_values; }
    void Clear() { m_values.clear(); }

private:
    std::vector<Value> m_values;
};

// The typed reads and writes, shared by both stores.
std::optional<uint32_t> DwordOf(const Value* v) {
    if (!v || v->type != Type::Dword) return std::nullopt;
    return v->dword;
}
std::optional<std::string> StringOf(const Value* v) {
    if (!v || v->type != Type::String) return std::nullopt;
    return v->bytes;
}
std::optional<std::vector<uint8_t>> BinaryOf(const Value* v) {
    if (!v || v->type != Type::Binary) return std::nullopt;
    return std::vector<uint8_t>(v->bytes.begin(), v->bytes.end());
}
void StoreDword(ValueTable& t, std::string_view key, std::string_view name, uint32_t value) {
    Value& v = t.Put(key, name);
    v.type = Type::Dword;
    v.dword = value;
    v.bytes.clear();
}
void StoreString(ValueTable& t, std::string_view key, std::string_view name, std::string_view value) {
    Value& v = t.Put(key, name);
    v.type = Type::String;
    v.dword = 0;
    v.bytes = value;
}
void StoreBinary(ValueTable& t, std::string_view key, std::string_view name, const std::vector<uint8_t>& value) {
    Value& v = t.Put(key, name);
    v.type = Type::Binary;
    v.dword = 0;
    v.bytes.assign(value.begin(), value.end());
}

// --- the file form ---

constexpr char kHex[] = "0123456789abcdef";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendEscaped(std::string& out, std::string_view s) {
    for (char c : s) {
        unsigned char b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || b == '%') {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += c;
        }
    }
}

bool Unescape(std::string_view s, std::string* out) {
    out->clear();
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out->push_back(s[i]);
            continue;
        }
        if (i + 2 >= s.size()) return false;
        int hi = HexDigit(s[i + 1]), lo = HexDigit(s[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out->push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return true;
}

bool ParseDword(std::string_view s, uint32_t* out) {
    if (s.empty() || s.size() > 10) return false;
    uint64_t n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + static_cast<uint64_t>(c - '0');
    }
    if (n > 0xFFFFFFFFu) return false;
    *out = static_cast<uint32_t>(n);
    return true;
}

bool ParseHex(std::string_view s, std::string* out) {
    if (s.size() % 2) return false;
    out->clear();
    for (size_t i = 0; i < s.size(); i += 2) {
        int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out->push_back(static_cast<char>(hi * 16 + lo));
    }
    return true;
}

bool ParseLine(std::string_view line, Value* v) {
    std::string_view fields[4];
    for (int f = 0; f < 3; ++f) {
        size_t tab = line.find('\t');
        if (tab == std::string_view::npos) return false;
        fields[f] = line.substr(0, tab);
        line.remove_prefix(tab + 1);
    }
    fields[3] = line;
    if (fields[3].find('\t') != std::string_view::npos) return false;
    if (!Unescape(fields[1], &v->key) || !Unescape(fields[2], &v->name)) return false;
    if (fields[0] == "dword") {
        v->type = Type::Dword;
        return ParseDword(fields[3], &v->dword);
    }
    if (fields[0] == "string") {
        v->type = Type::String;
        return Unescape(fields[3], &v->bytes);
    }
    if (fields[0] == "binary") {
        v->type = Type::Binary;
        return ParseHex(fields[3], &v->bytes);
    }
    return false;
}

void Parse(std::string_view text, ValueTable* table) {
    table->Clear();
    size_t eol = text.find('\n');
    if (eol == std::string_view::npos || text.substr(0, eol) != kHeader) return;
    text.remove_prefix(eol + 1);
    while ((eol = text.find('\n')) != std::string_view::npos) {  // a last line without "\n" was cut off
        Value v;
        if (ParseLine(text.substr(0, eol), &v) && !table->Find(v.key, v.name)) {
            table->Put(v.key, v.name) = std::move(v);
        }
        text.remove_prefix(eol + 1);
    }
}

std::string Serialize(const ValueTable& table) {
    std::string out(kHeader);
    out += '\n';
    for (const Value& v : table.Values()) {
        out += v.type == Type::Dword ? "dword" : v.type == Type::String ? "string" : "binary";
        out += '\t';
        AppendEscaped(out, v.key);
        out += '\t';
        AppendEscaped(out, v.name);
        out += '\t';
        if (v.type == Type::Dword) {
            out += std::to_string(v.dword);
        } else if (v.type == Type::String) {
            AppendEscaped(out, v.bytes);
        } else {
            for (char c : v.bytes) {
                unsigned char b = static_cast<unsigned char>(c);
                out += kHex[b >> 4];
                out += kHex[b & 15];
            }
        }
        out += '\n';
    }
    return out;
}

std::string DefaultPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/qor/registry.txt";
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw && pw->pw_dir ? pw->pw_dir : "/tmp";
    }
    return std::string(home) + "/.config/qor/registry.txt";
}

class FileRegistry final : public Registry {
public:
    explicit FileRegistry(std::string path) : m_path(path.empty() ? DefaultPath() : std::move(path)) {}

    std::optional<uint32_t> GetDword(std::string_view key, std::string_view name) override {
        std::lock_guard<std::mutex> hold(m_mutex);
        return DwordOf(Current().Find(key, name));
    }
    std::optional<std::string> GetString(std::string_view key, std::string_view name) override {
        std::lock_guard<std::mutex> hold(m_mutex);
        return StringOf(Current().Find(key, name));
    }
    std::optional<std::vector<uint8_t>> GetBinary(std::string_view key, std::string_view name) override {
        std::lock_guard<std::mutex> hold(m_mutex);
        return BinaryOf(Current().Find(key, name));
    }
    bool SetDword(std::string_view key, std::string_view name, uint32_t value) override {
        return Change([&](ValueTable& t) {
            StoreDword(t, key, name, value);
            return true;
        });
    }
    bool SetString(std::string_view key, std::string_view name, std::string_view value) override {
        return Change([&](ValueTable& t) {
            StoreString(t, key, name, value);
            return true;
        });
    }
    bool SetBinary(std::string_view key, std::string_view name, const std::vector<uint8_t>& value) override {
        return Change([&](ValueTable& t) {
            StoreBinary(t, key, name, value);
            return true;
        });
    }
    bool DeleteValue(std::string_view key, std::string_view name) override {
        return Change([&](ValueTable& t) { return t.Erase(key, name); });
    }

private:
    // Which version of the file a table was read from: the other program may
    // replace the file at any time, and a replaced file is a new inode.
    struct Stamp {
        bool exists = false;
        ino_t inode = 0;
        off_t size = 0;
        int64_t modifiedNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp StampNow() const {
        struct stat st;
        if (::stat(HostPath(m_path).c_str(), &st) != 0) return Stamp{};
        return Stamp{true, st.st_ino, st.st_size, int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec};
    }

    // The store as the file holds it now, read again only when the file changed.
    const ValueTable& Current() {
        Stamp now = StampNow();
        if (!m_cached || !(now == m_stamp)) {
            m_cached = Load(&m_cache);
            m_stamp = now;
        }
        return m_cache;
    }

    // A missing file reads as an empty store; false when the file is there but
    // cannot be read. No lock is needed: the file is only ever replaced whole.
    bool Load(ValueTable* table) const {
        table->Clear();
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(m_path, bytes)) return !FileExists(m_path);
        Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), table);
        return true;
    }

    // Read, change and write back under the lock. edit returns false when it
    // changed nothing (the file is then left alone) and the call fails.
    template <typename Edit>
    bool Change(Edit edit) {
        std::lock_guard<std::mutex> hold(m_mutex);
        size_t slash = m_path.rfind('/');
        if (slash != std::string::npos && slash > 0 && !CreateFolders(m_path.substr(0, slash))) return false;
        // Found as the store is: its folder may be spelled in another case.
        std::string lockPath = HostPath(m_path + ".lock");
        int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lock < 0) return false;
        while (::flock(lock, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(lock);
                return false;
            }
        }
        ValueTable table;
        // A store that cannot be read is not overwritten with one value.
        bool ok = Load(&table) && edit(table) && Save(table);
        if (ok) {
            m_cache = std::move(table);
            m_stamp = StampNow();
            m_cached = true;
        }
        ::close(lock);  // releases the lock
        return ok;
    }

    bool Save(const ValueTable& table) const {
        std::string text = Serialize(table);
        return ReplaceWholeFile(m_path, text.data(), text.size());
    }

    std::string m_path;
    std::mutex m_mutex;  // the loader thread reads settings too
    ValueTable m_cache;
    Stamp m_stamp;
    bool m_cached = false;
};

class MemoryRegistry final : public Registry {
public:
    std::optional<uint32_t> GetDword(std::string_view key, std::string_view name) override {
        return DwordOf(m_table.Find(key, name));
    }
    std::optional<std::string> GetString(std::string_view key, std::string_view name) override {
        return StringOf(m_table.Find(key, name));
    }
    std::optional<std::vector<uint8_t>> GetBinary(std::string_view key, std::string_view name) override {
        return BinaryOf(m_table.Find(key, name));
    }
    bool SetDword(std::string_view key, std::string_view name, uint32_t value) override {
        StoreDword(m_table, key, name, value);
        return true;
    }
    bool SetString(std::string_view key, std::string_view name, std::string_view value) override {
        StoreString(m_table, key, name, value);
        return true;
    }
    bool SetBinary(std::string_view key, std::string_view name, const std::vector<uint8_t>& value) override {
        StoreBinary(m_table, key, name, value);
        return true;
    }
    bool DeleteValue(std::string_view key, std::string_view name) override { return m_table.Erase(key, name); }

private:
    ValueTable m_table;
};

std::mutex g_registryMutex;
std::unique_ptr<Registry> g_registry;

}  // namespace

std::unique_ptr<Registry> CreateFileRegistry(std::string path) {
    return std::make_unique<FileRegistry>(std::move(path));
}

std::unique_ptr<Registry> CreateMemoryRegistry() { return std::make_unique<MemoryRegistry>(); }

Registry& TheRegistry() {
    std::lock_guard<std::mutex> lock(g_registryMutex);
    if (!g_registry) g_registry = CreateFileRegistry();
    return *g_registry;
}

void SetRegistry(std::unique_ptr<Registry> registry) {
    std::lock_guard<std::mutex> lock(g_registryMutex);
    g_registry = std::move(registry);
}

}  // namespace platform
