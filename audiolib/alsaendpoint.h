// What an ALSA output finally plays to, so that two names of one output can be told apart from
// two outputs: "default" and "pulse" on a PulseAudio system are one sink under two names.
#pragma once

#include <string>

namespace audiolib {

// The end of the device's chain of ALSA plugins: "hw:<card>,<device>" for a card's PCM,
// "pulse:<server>/<sink>" for a sound server's sink (empty parts: the server's defaults), or
// "alsa:<name>" when the chain cannot be followed. name is the output's name as PortAudio lists
// it: a definition of the ALSA configuration ("default", "pulse", "dmix"), or a card's PCM ending
// in "(hw:C,D)". Call with PortAudio's lock held: the ALSA configuration is not thread-safe.
std::string alsaEndpoint(const std::string& name);

}  // namespace audiolib
