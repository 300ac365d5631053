// Ini files with the profile rules every settings file, profile, preset and language file of
// this system relies on: case-blind sections and keys, file order kept, unknown keys kept,
// values at most 2047 characters, "$"/"0x" hexadecimal integers, "1"/"0" booleans.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

class IniFile {
public:
    // WriteThrough: every write rewrites the file at once (atomically) and reports failure.
    // Buffered: writes change memory only, until flush().
    enum class Mode { WriteThrough, Buffered };

    // Reads the file if it exists; a missing or unreadable file reads as empty. Only a regular
    // file of at most kMaxSettingsFileBytes (regularfile.h) is read.
    explicit IniFile(std::string path, Mode mode = Mode::WriteThrough);

    const std::string& path() const { return m_path; }
    // Why the file that is there could not be read ("Is a directory"); empty when it was read or
    // is missing.
    const std::string& readError() const { return m_readError; }

    // Values as Windows' profile functions return them: surrounding blanks trimmed, one matching
    // pair of surrounding quotes removed, at most kMaxValueLength characters.
    static constexpr std::size_t kMaxValueLength = 2047;
    std::string readString(std::string_view section, std::string_view key, std::string_view def) const;
    // Decimal, or hexadecimal after "$" or "0x"; anything else gives def.
    std::int32_t readInteger(std::string_view section, std::string_view key, std::int32_t def) const;
    // Non-zero integer is true.
    bool readBool(std::string_view section, std::string_view key, bool def) const;
    double readFloat(std::string_view section, std::string_view key, double def) const;
    // Hexadecimal record text (see hexrecord.h) into dst; returns the bytes replaced.
    std::size_t readBinary(std::string_view section, std::string_view key, void* dst, std::size_t size) const;

    // Each returns false when the value could not be stored (WriteThrough: the file could not be
    // written; the value is still changed in memory).
    bool writeString(std::string_view section, std::string_view key, std::string_view value);
    bool writeInteger(std::string_view section, std::string_view key, std::int32_t value);
    bool writeBool(std::string_view section, std::string_view key, bool value);
    bool writeFloat(std::string_view section, std::string_view key, double value);
    bool writeBinary(std::string_view section, std::string_view key, const void* src, std::size_t size);

    // The value as the file holds it (everything after "=", nothing trimmed or cut), or nothing
    // when the key is missing: for copying a value from one file to another unchanged.
    std::optional<std::string> rawValue(std::string_view section, std::string_view key) const;

    bool sectionExists(std::string_view section) const;
    bool valueExists(std::string_view section, std::string_view key) const;
    std::vector<std::string> sections() const;                      // file order
    std::vector<std::string> keys(std::string_view section) const;  // file order
    // Every key of the section with its value read as readString() reads it, in file order.
    std::vector<std::pair<std::string, std::string>> sectionValues(std::string_view section) const;
    // The lines of the section whose key came before (in any case), which no read returns: each
    // key as spelt there with its value as rawValue() gives it, in file order.
    std::vector<std::pair<std::string, std::string>> repeatedKeys(std::string_view section) const;
    bool eraseSection(std::string_view section);
    bool deleteKey(std::string_view section, std::string_view key);

    // Buffered mode: writes the file (temporary file renamed into place). False on failure, the
    // file on disk then as it was before.
    bool flush();
    // Why the last write of the file failed ("No space left on device"); empty after a success.
    const std::string& lastError() const { return m_error; }
    // The permission bits the file is saved with from now on (new or replaced); otherwise a
    // replaced file keeps its own and a new one follows the umask.
    void setFileMode(unsigned mode) { m_fileMode = mode; }

private:
    bool store();

    std::string m_path;
    Mode m_mode;
    std::optional<unsigned> m_fileMode;
    std::string m_error;
    std::string m_readError;
    struct Contents;  // the file's lines, grouped by section, in file order
    std::shared_ptr<Contents> m_contents;
};

}  // namespace platform
