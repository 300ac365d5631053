// Process-wide table of live decks, guarded by one mutex: decks are made and freed on the
// user-interface thread while the library's sync thread looks them up.
#include "engine/deckregistry.h"

#include <mutex>
#include <unordered_map>

namespace engine::deckregistry {

namespace {

struct Entry {
    TAudioEngine* deck = nullptr;
    platform::WindowHandle window = 0;
};

struct Registry {
    std::mutex lock;
    std::uint32_t lastNumber = 0;
    std::unordered_map<std::uint32_t, Entry> decks;
};

Registry& registry()
{
    static Registry* r = new Registry;  // never destroyed: decks may outlive static destruction
    return *r;
}

}  // namespace

std::uint32_t add(TAudioEngine* deck, platform::WindowHandle window)
{
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    const std::uint32_t number = ++r.lastNumber;
    r.decks.emplace(number, Entry{deck, window});
    return number;
}

void remove(std::uint32_t deckNumber)
{
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    r.decks.erase(deckNumber);
}

TAudioEngine* find(std::uint32_t deckNumber)
{
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    const auto it = r.decks.find(deckNumber);
    return it == r.decks.end() ? nullptr : it->second.deck;
}

platform::WindowHandle window(std::uint32_t deckNumber)
{
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    const auto it = r.decks.find(deckNumber);
    return it == r.decks.end() ? 0 : it->second.window;
}

bool withDeck(std::uint32_t deckNumber, const std::function<void(TAudioEngine&)>& fn)
{
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    const auto it = r.decks.find(deckNumber);
    if (it == r.decks.end())
        return false;
    fn(*it->second.deck);
    return true;
}

}  // namespace engine::deckregistry
