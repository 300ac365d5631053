// Fuzz target: arbitrary bytes as an ini file are read, queried and rewritten without harm.
#include "tests/common/fuzzinput.h"

#include "platform/hexrecord.h"
#include "platform/inifile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzzing::inputFile("settings.ini", data, size);
    platform::IniFile ini(path, platform::IniFile::Mode::Buffered);
    for (const auto& section : ini.sections()) {
        for (const auto& [key, value] : ini.sectionValues(section)) {
            if (value.size() > platform::IniFile::kMaxValueLength * 4)
                std::abort();
            ini.readInteger(section, key, 0);
            ini.readFloat(section, key, 0);
            std::uint8_t record[16];
            ini.readBinary(section, key, record, sizeof record);
        }
    }
    ini.writeString("Fuzz", "key", std::string(reinterpret_cast<const char*>(data), size));
    ini.flush();
    return 0;
}
