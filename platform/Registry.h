// The registry key both programs share ("SOFTWARE\Brimholt\QOR_<region>"): typed
// values by name under a key path. The real store is one file under
// $XDG_CONFIG_HOME, written atomically (temp file + rename) under a lock so the
// client and the patcher never lose each other's values; the in-memory store
// serves tests.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class Registry {
public:
    virtual ~Registry() = default;

    virtual std::optional<uint32_t> GetDword(std::string_view key, std::string_view name) = 0;
    virtual std::optional<std::string> GetString(std::string_view key, std::string_view name) = 0;
    virtual std::optional<std::vector<uint8_t>> GetBinary(std::string_view key, std::string_view name) = 0;

    virtual bool SetDword(std::string_view key, std::string_view name, uint32_t value) = 0;
    virtual bool SetString(std::string_view key, std::string_view name, std::string_view value) = 0;
    virtual bool SetBinary(std::string_view key, std::string_view name, const std::vector<uint8_t>& value) = 0;
    virtual bool DeleteValue(std::string_view key, std::string_view name) = 0;
};

// The store file under $XDG_CONFIG_HOME (or ~/.config); path overrides it.
std::unique_ptr<Registry> CreateFileRegistry(std::string path = std::string());
std::unique_ptr<Registry> CreateMemoryRegistry();

// The store the programs use (the file store unless a test installed another).
Registry& TheRegistry();
void SetRegistry(std::unique_ptr<Registry> registry);

}  // namespace platform
