// The database program's use of the audio engine at start-up: its engine settings and the preview
// deck whose output device duration measuring also needs.
#pragma once

#include "platform/window.h"

#include <memory>
#include <string>

namespace engine {
class TAudioEngine;
}

namespace database {

// Reads "system.ini" with the database program's engine variant.
void loadBaseEngineSettings();
std::string langDir();

std::unique_ptr<engine::TAudioEngine> createPreviewDeck(platform::WindowHandle window);
// Opens the preview output for the monitor type (0 left only, 1 rear, 2 second device, 3 normal).
void initPreviewOutput(engine::TAudioEngine& deck, int monType);

}  // namespace database
