// Held boxes for a program's start, logged boxes for its end.
#include "platform/unattendedmessages.h"

#include <QDateTime>

#include <utility>

#include <cstdio>
#include <fstream>

namespace platform {

int defaultAnswer(unsigned flags)
{
    const bool second = (flags & 0xF00) == MB_DEFBUTTON2;
    switch (flags & 0x0F) {
    case MB_OKCANCEL:
        return second ? IDCANCEL : IDOK;
    case MB_ABORTRETRYIGNORE:
        return second ? IDRETRY : IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO:
        return second ? IDNO : IDYES;
    case MB_RETRYCANCEL:
        return second ? IDCANCEL : IDRETRY;
    default:
        return IDOK;
    }
}

// ---- Held ---------------------------------------------------------------------------------------

std::vector<HeldUserMessages::Held> HeldUserMessages::takeHeld()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_held, {});
}

int HeldUserMessages::messageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    if ((flags & 0x0F) != MB_OK)
        return m_target.messageBox(text, caption, flags);
    std::lock_guard lock(m_mutex);
    m_held.push_back({text, caption, flags});
    return IDOK;
}

bool HeldUserMessages::inputQuery(const std::string& caption, const std::string& prompt, std::string& value)
{
    return m_target.inputQuery(caption, prompt, value);
}

std::optional<std::string> HeldUserMessages::openFileName(const std::string& title, const std::string& filter,
                                                          const std::string& initialDir)
{
    return m_target.openFileName(title, filter, initialDir);
}

std::optional<std::vector<std::string>> HeldUserMessages::openFileNames(const std::string& title,
                                                                        const std::string& filter,
                                                                        const std::string& initialDir)
{
    return m_target.openFileNames(title, filter, initialDir);
}

std::optional<std::string> HeldUserMessages::saveFileName(const std::string& title, const std::string& filter,
                                                          const std::string& initialDir, const std::string& defaultExt)
{
    return m_target.saveFileName(title, filter, initialDir, defaultExt);
}

std::optional<std::string> HeldUserMessages::selectFolder(const std::string& title, const std::string& initialDir)
{
    return m_target.selectFolder(title, initialDir);
}

std::optional<std::uint32_t> HeldUserMessages::chooseColor(std::uint32_t initial)
{
    return m_target.chooseColor(initial);
}

std::optional<FontSpec> HeldUserMessages::chooseFont(const FontSpec& initial)
{
    return m_target.chooseFont(initial);
}

// ---- Logged -------------------------------------------------------------------------------------

void LoggedUserMessages::log(const std::string& caption, const std::string& text)
{
    std::string line = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toStdString();
    line += "  ";
    line += caption;
    line += ": ";
    // One line per report, whatever line breaks the box text had.
    for (char c : toDisplayLineBreaks(text))
        line += c == '\n' ? ' ' : c;
    line += '\n';
    std::lock_guard lock(m_mutex);
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    if (!m_logFile.empty()) {
        std::ofstream out(m_logFile, std::ios::app | std::ios::binary);
        out << line;
    }
}

int LoggedUserMessages::messageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    log(caption, text);
    return defaultAnswer(flags);
}

bool LoggedUserMessages::inputQuery(const std::string& caption, const std::string& prompt, std::string&)
{
    log(caption, prompt + " (not asked)");
    return false;
}

std::optional<std::string> LoggedUserMessages::openFileName(const std::string& title, const std::string&,
                                                            const std::string&)
{
    log(title, "open dialog not shown");
    return std::nullopt;
}

std::optional<std::vector<std::string>> LoggedUserMessages::openFileNames(const std::string& title,
                                                                          const std::string&, const std::string&)
{
    log(title, "open dialog not shown");
    return std::nullopt;
}

std::optional<std::string> LoggedUserMessages::saveFileName(const std::string& title, const std::string&,
                                                            const std::string&, const std::string&)
{
    log(title, "save dialog not shown");
    return std::nullopt;
}

std::optional<std::string> LoggedUserMessages::selectFolder(const std::string& title, const std::string&)
{
    log(title, "folder dialog not shown");
    return std::nullopt;
}

std::optional<std::uint32_t> LoggedUserMessages::chooseColor(std::uint32_t)
{
    log("", "colour dialog not shown");
    return std::nullopt;
}

std::optional<FontSpec> LoggedUserMessages::chooseFont(const FontSpec&)
{
    log("", "font dialog not shown");
    return std::nullopt;
}

}  // namespace platform
