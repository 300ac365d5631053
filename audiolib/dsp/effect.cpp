// The factory of channel effects by kind number.
#include "audiolib/dsp/effect.h"

#include "audiolib/dsp/compressor.h"
#include "audiolib/dsp/echo.h"
#include "audiolib/dsp/echo2.h"
#include "audiolib/dsp/flanger.h"
#include "audiolib/dsp/peakeq.h"
#include "audiolib/dsp/reverb.h"

namespace audiolib::dsp {

std::unique_ptr<Effect> createEffect(int kind)
{
    switch (kind) {
    case kEffectCompressor:
        return std::make_unique<Compressor>();
    case kEffectEcho:
        return std::make_unique<Echo>();
    case kEffectPeakEq:
        return std::make_unique<PeakEq>();
    case kEffectReverb:
        return std::make_unique<Reverb>();
    case kEffectFlanger:
        return std::make_unique<Flanger>();
    case kEffectEcho2:
        return std::make_unique<Echo2>();
    default:
        return nullptr;
    }
}

}  // namespace audiolib::dsp
