// Following an ALSA output's definition through its plugins (plug, dmix, softvol, asym, ...) down
// to the card or the sound server it plays to.
#include "audiolib/alsaendpoint.h"

#include <alsa/asoundlib.h>

namespace audiolib {

namespace {

// Plugin chains in the shipped configurations are a few links long; this only stops a loop.
constexpr int kMaxLinks = 16;

std::string text(snd_config_t* node)
{
    const char* s = nullptr;
    if (snd_config_get_string(node, &s) >= 0 && s)
        return s;
    long v = 0;
    if (snd_config_get_integer(node, &v) >= 0)
        return std::to_string(v);
    return {};
}

std::string field(snd_config_t* definition, const char* key)
{
    snd_config_t* node = nullptr;
    return snd_config_search(definition, key, &node) >= 0 ? text(node) : std::string();
}

// A card named by number or by its id ("0", "PCH") as its number, so that both names match.
std::string cardNumber(const std::string& card)
{
    if (card.empty())
        return "0";
    const int index = snd_card_get_index(card.c_str());
    return index >= 0 ? std::to_string(index) : card;
}

std::string followDefinition(snd_config_t* definition, int links);

std::string followName(const std::string& name, int links)
{
    snd_config_t* definition = nullptr;
    if (links > kMaxLinks || snd_config_search_definition(snd_config, "pcm", name.c_str(), &definition) < 0)
        return {};
    std::string end = followDefinition(definition, links);
    snd_config_delete(definition);
    return end;
}

std::string followDefinition(snd_config_t* definition, int links)
{
    const std::string type = field(definition, "type");
    if (type == "hw") {
        const std::string device = field(definition, "device");
        return "hw:" + cardNumber(field(definition, "card")) + "," + (device.empty() ? "0" : device);
    }
    if (type == "pulse")
        return "pulse:" + field(definition, "server") + "/" + field(definition, "device");
    // A plugin plays through its slave (an asymmetric device through its playback side); the
    // slave is another definition's name or a definition written in place.
    for (const char* key : {"slave.pcm", "playback.pcm"}) {
        snd_config_t* slave = nullptr;
        if (snd_config_search(definition, key, &slave) < 0)
            continue;
        if (snd_config_get_type(slave) == SND_CONFIG_TYPE_COMPOUND)
            return links < kMaxLinks ? followDefinition(slave, links + 1) : std::string();
        return followName(text(slave), links + 1);
    }
    return {};
}

// "HDA Intel PCH: ALC892 Analog (hw:0,0)": the card and device PortAudio names its card PCMs by.
std::string listedCardPcm(const std::string& name)
{
    const auto open = name.rfind("(hw:");
    if (open == std::string::npos || name.back() != ')')
        return {};
    const std::string inside = name.substr(open + 4, name.size() - open - 5);
    const auto comma = inside.find(',');
    if (comma == std::string::npos)
        return {};
    return "hw:" + cardNumber(inside.substr(0, comma)) + "," + inside.substr(comma + 1);
}

}  // namespace

std::string alsaEndpoint(const std::string& name)
{
    if (std::string card = listedCardPcm(name); !card.empty())
        return card;
    snd_config_update();
    std::string end = followName(name, 0);
    return end.empty() ? "alsa:" + name : end;
}

}  // namespace audiolib
