// Boxes nobody can see: the hidden search server's and those of an end asked for from outside (a
// signal, the player's end). They are written to "Base.log" in the program folder and to the error
// output, and answered with their default button, so the program never waits on a click.
#pragma once

#include <string>

namespace database {

// "<program folder>/Base.log".
std::string BaseLogPath();

// While at least one of these is on, every box and dialog of the program is logged instead of
// shown; when the last one goes off, the service that was in force before is back.
class UnseenBoxes {
public:
    UnseenBoxes() = default;
    ~UnseenBoxes() { set(false); }
    UnseenBoxes(const UnseenBoxes&) = delete;
    UnseenBoxes& operator=(const UnseenBoxes&) = delete;

    void set(bool on);
    bool on() const { return m_on; }

private:
    bool m_on = false;
};

}  // namespace database
