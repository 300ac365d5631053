// The generator's window: answers the player's ping, remembers the player that greeted it, and on
// a click of its button (or the same command from another program) hands a fresh stack list over.
#pragma once

#include "platform/window.h"
#include "tools/Sorbelt/sorbelttexts.h"

#include <QWidget>

#include <random>
#include <string>

class QLabel;
class QPushButton;
class QSpinBox;

namespace sorbelt {

class TSorbeltWnd : public QWidget, public platform::MessageWindow {
public:
    // In the language of the player's operator (see chosenLanguage).
    explicit TSorbeltWnd(std::string databasePath, QWidget* parent = nullptr);

    // Draws the rows, writes the stack list and tells the remembered player to load it. True when
    // the player answered; a list is written even without a player, but never an empty one (the
    // player would lose its Main list for nothing).
    bool generateStackList();

    platform::WindowHandle playerWindow() const { return m_player; }
    const std::string& databasePath() const { return m_databasePath; }

protected:
    platform::LResult windowProc(std::uint32_t msg, platform::WParam wParam, platform::LParam lParam) override;

private:
    void setStatus(const QString& text);

    SorbeltTexts m_texts;
    std::string m_databasePath;
    platform::WindowHandle m_player = 0;
    bool m_busy = false;  // a command that arrives while the player is being told is dropped
    std::mt19937 m_random;
    QSpinBox* m_trackCount = nullptr;
    QPushButton* m_generate = nullptr;
    QLabel* m_status = nullptr;
};

}  // namespace sorbelt
