// A user-message service for tests: records every box and dialog asked for and answers from a
// script (or with a default when the script is empty).
#pragma once

#include "platform/usermessages.h"

#include <deque>
#include <mutex>

namespace platform {

class RecordedUserMessages : public UserMessages {
public:
    struct Shown {
        std::string kind;  // "messageBox", "inputQuery", "openFileName", ...
        std::string text;
        std::string caption;
        unsigned flags = 0;
        std::string initialDir;  // where a file dialog started
    };

    // Answers, taken in order by whatever asks next. Without one: messageBox gives defaultAnswer,
    // dialogs are cancelled.
    void pushAnswer(int answer);
    void pushText(std::string text);  // inputQuery, file, folder dialogs
    void pushTexts(std::vector<std::string> texts);  // openFileNames
    void pushColor(std::uint32_t color);             // chooseColor
    void pushFont(FontSpec font);                    // chooseFont
    int defaultAnswer = IDOK;

    std::vector<Shown> shown() const;
    // The texts of the message boxes among them, in order.
    std::vector<std::string> boxTexts() const;
    void clear();

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
    mutable std::mutex m_mutex;
    std::vector<Shown> m_shown;
    std::deque<int> m_answers;
    std::deque<std::string> m_texts;
    std::deque<std::vector<std::string>> m_textLists;
    std::deque<std::uint32_t> m_colors;
    std::deque<FontSpec> m_fonts;
};

}  // namespace platform
