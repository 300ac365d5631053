// The scripted user-message service of the tests.
#include "platform/recordedusermessages.h"

namespace platform {

namespace {

template <typename T>
std::optional<T> take(std::deque<T>& queue)
{
    if (queue.empty())
        return std::nullopt;
    T v = std::move(queue.front());
    queue.pop_front();
    return v;
}

}  // namespace

void RecordedUserMessages::pushAnswer(int answer)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back(answer);
}

void RecordedUserMessages::pushText(std::string text)
{
    std::lock_guard lock(m_mutex);
    m_texts.push_back(std::move(text));
}

void RecordedUserMessages::pushTexts(std::vector<std::string> texts)
{
    std::lock_guard lock(m_mutex);
    m_textLists.push_back(std::move(texts));
}

void RecordedUserMessages::pushColor(std::uint32_t color)
{
    std::lock_guard lock(m_mutex);
    m_colors.push_back(color);
}

void RecordedUserMessages::pushFont(FontSpec font)
{
    std::lock_guard lock(m_mutex);
    m_fonts.push_back(std::move(font));
}

std::vector<RecordedUserMessages::Shown> RecordedUserMessages::shown() const
{
    std::lock_guard lock(m_mutex);
    return m_shown;
}

std::vector<std::string> RecordedUserMessages::boxTexts() const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::string> texts;
    for (const Shown& s : m_shown)
        if (s.kind == "messageBox")
            texts.push_back(s.text);
    return texts;
}

void RecordedUserMessages::clear()
{
    std::lock_guard lock(m_mutex);
    m_shown.clear();
    m_answers.clear();
    m_texts.clear();
    m_textLists.clear();
    m_colors.clear();
    m_fonts.clear();
}

int RecordedUserMessages::messageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    std::lock_guard lock(m_mutex);
    m_shown.push_back({"messageBox", text, caption, flags, {}});
    return take(m_answers).value_or(defaultAnswer);
}

bool RecordedUserMessages::inputQuery(const std::string& caption, const std::string& prompt, std::string& value)
{
    std::lock_guard lock(m_mutex);
    m_shown.push_back({"inputQuery", prompt, caption, 0, {}});
    auto text = take(m_texts);
    if (!text)
        return false;
    value = std::move(*text);
    return true;
}

std::optional<std::string> RecordedUserMessages::openFileName(const std::string& title, const std::string& filter,
                                                              const std::string& initialDir)
{
    std::lock_guard lock(m_mutex);
    m_shown.push_back({"openFileName", filter, title, 0, initialDir});
    return take(m_texts);
}

std::optional<std::vector<std::string>> RecordedUserMessages::openFileNames(const std::string& title,
                                                                            const std::string& filter,
                                                                            const std::string& initialDir)
{
    std::lock_guard lock(m_mutex);
    m_shown.push_back({"openFileNames", filter, title, 0, initialDir});
    return take(m_textLists);
}

std::optional<std::string> RecordedUserMessages::saveFileName(const std::string& title, const std::string& filter,
                                                              const std::string& initialDir, const std::string&)
{
    std::lock_guard lock(m_mutex);
    m_shown.push_back({"saveFileName", filter, title, 0, initialDir});
    return take(m_texts);
}

std::optional<std::string> RecordedUserMessages::selectFolder(const std::string& title, const std::string& initialDir)
{
    std::lock_guard lock(m_mutex);
    m_shown.push_back({"selectFolder", initialDir, title, 0, initialDir});
    return take(m_texts);
}

std::optional<std::uint32_t> RecordedUserMessages::chooseColor(std::uint32_t initial)
{
    std::lock_guard lock(m_mutex);
    m_shown.push_back({"chooseColor", std::to_string(initial), {}, 0, {}});
    return take(m_colors);
}

std::optional<FontSpec> RecordedUserMessages::chooseFont(const FontSpec& initial)
{
    std::lock_guard lock(m_mutex);
    m_shown.push_back({"chooseFont", initial.family, {}, 0, {}});
    return take(m_fonts);
}

}  // namespace platform
