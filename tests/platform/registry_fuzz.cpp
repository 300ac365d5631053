// Fuzz target: any bytes as the registry store file: values and keys are read, a value is written
// (rewriting the damaged store), and what was written reads back.
#include "tests/common/fuzzinput.h"

#include "platform/registry.h"

#include <cstdlib>

using platform::Registry;
using platform::RegistryRoot;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::InputReader in(data, size);
    const std::string key = in.text(80);
    const std::string name = in.text(40);
    const std::string_view rest = in.rest();
    const std::string store = fuzzing::inputFile("registry.ini", rest.data(), rest.size());
    static const int once = setenv("QUORVALEN_REGISTRY_FILE", store.c_str(), 1);
    (void)once;

    for (RegistryRoot root : {RegistryRoot::CurrentUser, RegistryRoot::ClassesRoot}) {
        Registry::readString(root, key, name);
        Registry::readInteger(root, key, name);
        Registry::readBinary(root, key, name);
        Registry::keyExists(root, key);
        for (const std::string& sub : Registry::subKeys(root, key))
            Registry::subKeys(root, key + "\\" + sub);
    }
    const std::string path = "Software\\Fuzz\\" + key;
    if (Registry::writeString(RegistryRoot::CurrentUser, path, name, "value \x01 %41 end ")) {
        const auto back = Registry::readString(RegistryRoot::CurrentUser, path, name);
        if (!back || *back != "value \x01 %41 end ")
            std::abort();
    }
    Registry::deleteKey(RegistryRoot::CurrentUser, key);
    return 0;
}
