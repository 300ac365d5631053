// The user-message service on Qt's standard boxes and dialogs, plus the conversions it needs
// (button sets, filters, colours), which tests check without showing anything.
#pragma once

#include "platform/usermessages.h"

#include <QFont>
#include <QMessageBox>
#include <QString>

namespace platform {

class QtUserMessages : public UserMessages {
public:
    // Callable from any thread: the box is shown on the GUI thread while the caller waits.
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
};

namespace qtmessages {

// The buttons of a button set in the order they are shown (left to right).
std::vector<QMessageBox::StandardButton> buttons(unsigned flags);
// The default button: the first, or the second with MB_DEFBUTTON2 (the first when there is no second).
QMessageBox::StandardButton defaultButton(unsigned flags);
QMessageBox::Icon icon(unsigned flags);
// IDOK, IDCANCEL...; IDCANCEL for a button that has no answer of its own.
int answer(QMessageBox::StandardButton button);
// "Name|*.a;*.b|Other|*.c" -> "Name (*.a *.b);;Other (*.c)".
QString fileFilter(const std::string& filter);
// FontSpec <-> QFont; the colour is not a font's and stays as in base.
QFont toQFont(const FontSpec& wanted);
FontSpec fromQFont(const QFont& font, FontSpec base = {});
// 0x00BBGGRR <-> QColor.
QColor toQColor(std::uint32_t bgr);
std::uint32_t fromQColor(const QColor& color);

}  // namespace qtmessages

}  // namespace platform
