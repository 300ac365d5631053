// Message boxes when nobody may be there to click them: an unattended program must come up and
// go down whatever it has to report.
//  - HeldUserMessages (while a program starts): a box that only informs is kept, and the start
//    goes on as if OK had been pressed; the kept boxes are shown once the window is up. A question
//    still goes to the service underneath.
//  - LoggedUserMessages (while a program ends): nothing is shown; every box and dialog is written
//    to the error output and appended to a log file, and answered with its default button
//    (dialogs are cancelled).
#pragma once

#include "platform/usermessages.h"

#include <mutex>
#include <string>
#include <vector>

namespace platform {

class HeldUserMessages : public UserMessages {
public:
    struct Held {
        std::string text;
        std::string caption;
        unsigned flags = 0;
    };
    // Boxes that are not kept, and every dialog, go to `target`, which must outlive this.
    explicit HeldUserMessages(UserMessages& target) : m_target(target) {}

    // The boxes kept so far, in order; the list is emptied.
    std::vector<Held> takeHeld();

    int messageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    bool inputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;
    std::optional<std::string> openFileName(const std::string& title, const std::string& filter,
                                            const std::string& initialDir) override;
    std::optional<std::vector<std::string>> openFileNames(const std::string& title, const std::string& filter,
                                                          const std::string& initialDir) override;
    std::optional<std::string> saveFileName(const std::string& title, const std::string& filter,
                                            const std::string& initialDir, const std::string& defaultExt) override;
    std::optional<std::string> selectFolder(const std::string& title, const std::string& initialDir) override;
    std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override;
    std::optional<FontSpec> chooseFont(const FontSpec& initial) override;

private:
    UserMessages& m_target;
    std::mutex m_mutex;
    std::vector<Held> m_held;
};

class LoggedUserMessages : public UserMessages {
public:
    // logFile: appended to (created when missing); a file that cannot be written leaves the error
    // output alone to carry the text.
    explicit LoggedUserMessages(std::string logFile) : m_logFile(std::move(logFile)) {}

    const std::string& logFile() const { return m_logFile; }

    int messageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    bool inputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;
    std::optional<std::string> openFileName(const std::string& title, const std::string& filter,
                                            const std::string& initialDir) override;
    std::optional<std::vector<std::string>> openFileNames(const std::string& title, const std::string& filter,
                                                          const std::string& initialDir) override;
    std::optional<std::string> saveFileName(const std::string& title, const std::string& filter,
                                            const std::string& initialDir, const std::string& defaultExt) override;
    std::optional<std::string> selectFolder(const std::string& title, const std::string& initialDir) override;
    std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override;
    std::optional<FontSpec> chooseFont(const FontSpec& initial) override;

private:
    void log(const std::string& caption, const std::string& text);

    std::string m_logFile;
    std::mutex m_mutex;
};

// The answer the default button of a box with these flags gives (the first button, or the second
// with MB_DEFBUTTON2).
int defaultAnswer(unsigned flags);

}  // namespace platform
