// Message boxes, input boxes and file, folder, colour and font dialogs. Every program window asks
// through this service, so that tests can script the answers and read every text shown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Button sets and icons of a message box, and its answers; the numbers are the usual Windows ones
// because the programs' own code combines them that way.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

struct FontSpec {
    std::string family;
    int pointSize = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint32_t color = 0;  // 0x00BBGGRR
};

class UserMessages {
public:
    virtual ~UserMessages() = default;
    // Texts use "\r\n" (and "\r\r") for line breaks. Returns one of the ID* answers.
    virtual int messageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // True when accepted; value holds the initial text and receives the answer.
    virtual bool inputQuery(const std::string& caption, const std::string& prompt, std::string& value) = 0;
    // filter: "Name|*.ext;*.ext2|Other|*.x" as the programs write it.
    virtual std::optional<std::string> openFileName(const std::string& title, const std::string& filter,
                                                    const std::string& initialDir) = 0;
    virtual std::optional<std::vector<std::string>> openFileNames(const std::string& title,
                                                                  const std::string& filter,
                                                                  const std::string& initialDir) = 0;
    virtual std::optional<std::string> saveFileName(const std::string& title, const std::string& filter,
                                                    const std::string& initialDir,
                                                    const std::string& defaultExt) = 0;
    virtual std::optional<std::string> selectFolder(const std::string& title, const std::string& initialDir) = 0;
    virtual std::optional<std::uint32_t> chooseColor(std::uint32_t initial) = 0;  // 0x00BBGGRR
    virtual std::optional<FontSpec> chooseFont(const FontSpec& initial) = 0;
};

// The service in force: the Qt one unless a test has set its own. Not owned.
UserMessages& userMessages();
void setUserMessages(UserMessages* service);  // nullptr restores the Qt one

// Shorthand for the common case.
int messageBox(const std::string& text, const std::string& caption, unsigned flags = MB_OK);

// "\r\n" and "\r\r" (and a lone "\r") become "\n".
std::string toDisplayLineBreaks(const std::string& text);

}  // namespace platform
