// Engine settings and the preview deck's output, kept in one place.
#include "database/previewdeck.h"

#include "engine/audioengine.h"
#include "engine/enginesettings.h"

namespace database {

void loadBaseEngineSettings() { engine::LoadBaseEngineSettings(); }

std::string langDir() { return engine::engineSettings().LangDir; }

std::unique_ptr<engine::TAudioEngine> createPreviewDeck(platform::WindowHandle window)
{
    return std::make_unique<engine::TAudioEngine>(window, engine::EngineVariant::Base);
}

void initPreviewOutput(engine::TAudioEngine& deck, int monType)
{
    const engine::EngineSettings& s = engine::engineSettings();
    constexpr std::int32_t kSpeakerRear = 0x2000000;
    deck.StreamFlags = monType == 1 ? kSpeakerRear : 0;
    deck.Device = monType == 2 ? s.SecondDev : s.MainDev;
    deck.InitDevice(deck.Device);
}

}  // namespace database
