// The media services' texts in force.
#include "media/mediatexts.h"

namespace media {

namespace {

MediaTexts& inForce()
{
    static MediaTexts texts;
    return texts;
}

}  // namespace

const MediaTexts& mediaTexts() { return inForce(); }

void setMediaTexts(const MediaTexts& texts) { inForce() = texts; }

}  // namespace media
