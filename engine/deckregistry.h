// The live decks of this process by run-unique number, so that an end message still queued for
// a deck that has been freed, or for an earlier track of a deck, is recognised and ignored.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/window.h"

namespace engine {

class TAudioEngine;

namespace deckregistry {

// A number never given out before in this run (never 0).
std::uint32_t add(TAudioEngine* deck, platform::WindowHandle window);
void remove(std::uint32_t deckNumber);
// The deck, or nullptr when it has been freed. Only meaningful on the thread that owns and frees
// the deck (its window's thread): a pointer handed out here stays valid until that thread frees it.
TAudioEngine* find(std::uint32_t deckNumber);
// The window the deck was created with, 0 when the deck is gone. Any thread.
platform::WindowHandle window(std::uint32_t deckNumber);
// Runs fn on the deck while it cannot be freed; false when it is gone. Any thread; fn must be short
// and must not wait for anything.
bool withDeck(std::uint32_t deckNumber, const std::function<void(TAudioEngine&)>& fn);

}  // namespace deckregistry
}  // namespace engine
