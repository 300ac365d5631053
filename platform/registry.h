// A stand-in for the registry: hierarchical keys under three roots with typed values, kept in a
// file in the user's config folder (QUORVALEN_REGISTRY_FILE overrides it, for tests).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class RegistryRoot { CurrentUser, LocalMachine, ClassesRoot };

class Registry {
public:
    // Key paths use "\" or "/" between parts and match without regard to case.
    static std::optional<std::string> readString(RegistryRoot root, std::string_view key, std::string_view name);
    static std::optional<std::int64_t> readInteger(RegistryRoot root, std::string_view key, std::string_view name);
    static std::optional<std::vector<std::uint8_t>> readBinary(RegistryRoot root, std::string_view key,
                                                               std::string_view name);
    // Each write returns false when the store could not be saved.
    static bool writeString(RegistryRoot root, std::string_view key, std::string_view name, std::string_view value);
    static bool writeInteger(RegistryRoot root, std::string_view key, std::string_view name, std::int64_t value);
    static bool writeBinary(RegistryRoot root, std::string_view key, std::string_view name,
                            const std::vector<std::uint8_t>& value);
    static bool keyExists(RegistryRoot root, std::string_view key);
    static bool deleteValue(RegistryRoot root, std::string_view key, std::string_view name);
    static bool deleteKey(RegistryRoot root, std::string_view key);  // with its subkeys
    static std::vector<std::string> subKeys(RegistryRoot root, std::string_view key);
    // The file the store is kept in.
    static std::string storePath();
};

}  // namespace platform
