// Fuzz target: any bytes as the player's language file, read through the callbacks that translate
// its main window (captions, hints, menus, commands, list columns, search fields, messages).
#include "tests/common/fuzzapp.h"

#include "player/form1.h"

#include <filesystem>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzing::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static auto* form = new player::TForm1;  // lives for the run
    static const std::string file = [] {
        const std::string name = form->LanguageFileName();
        std::filesystem::create_directories(std::filesystem::path(name).parent_path());
        return name;
    }();
    fuzzing::recordedMessages().clear();
    fuzzing::writeFile(file, data, size);
    form->LoadLanguage();
    return 0;
}
