// Fuzz target: any bytes as the database program's language file, read through the callbacks
// that translate its window, its menus, its list columns and its messages.
#include "tests/common/fuzzapp.h"

#include "controls/lang.h"
#include "database/basemainwindow.h"
#include "database/strconst.h"
#include "platform/inifile.h"

#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzing::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static auto* window = new database::TBase_main_window({});
    fuzzing::InputReader in(data, size);
    const std::string section = in.text(40);
    const std::string_view rest = in.rest();
    fuzzing::writeProgramFile("Lang/lang_b.ini", rest);
    const std::string file = fuzzing::programFolder() + "/Lang/lang_b.ini";

    std::size_t keys = 0;
    controls::ReadLangSection(file, section, [&](const std::string& key, const std::string& value) {
        if (key.size() > 1 << 20 || value.size() > 4 * platform::IniFile::kMaxValueLength)
            std::abort();
        ++keys;
    });
    window->ApplyCaptions(window, "Main.Captions");
    window->ApplyMenuCaptions(window, "Main.Menus");
    database::LoadStrings(file);
    database::resetStrings();
    return keys == 0x7fffffff ? 1 : 0;
}
