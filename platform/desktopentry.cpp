// Launcher text for our file associations. Quoting is done in two layers, the way desktops undo
// it: first the argument quoting of the command line, then the escaping of string values.
#include "platform/desktopentry.h"

#include <QStringDecoder>

namespace platform {

namespace {

bool isValidText(std::string_view text)
{
    if (text.find('\0') != std::string_view::npos)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    Q_UNUSED(decoded);  // the decoder only reports errors once the text is converted
    return !decoder.hasError();
}

bool needsQuotes(char c)
{
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
        return true;
    static constexpr std::string_view kReserved = " \"'\\><~|&;$*?#()`";
    return kReserved.find(c) != std::string_view::npos;
}

// Escapes for a string value: a line break would end the key, a backslash starts an escape.
std::string escapeStringValue(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string quoteExecArgument(std::string_view argument)
{
    std::string plain;
    bool quote = argument.empty();
    for (const char c : argument) {
        quote = quote || needsQuotes(c);
        plain += c;
        if (c == '%')
            plain += '%';  // a lone "%" would start a field code
    }
    if (!quote)
        return plain;
    std::string out = "\"";
    for (const char c : plain) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::optional<std::string> execValue(std::string_view program, const std::vector<std::string>& arguments)
{
    if (program.empty() || !isValidText(program))
        return std::nullopt;
    std::string line = quoteExecArgument(program);
    for (const auto& argument : arguments) {
        if (!isValidText(argument))
            return std::nullopt;
        line += ' ';
        line += quoteExecArgument(argument);
    }
    line += " %f";
    return escapeStringValue(line);
}

std::optional<std::string> desktopEntryText(std::string_view name, std::string_view program,
                                            const std::vector<std::string>& arguments,
                                            const std::vector<std::string>& mimeTypes, std::string_view icon)
{
    const auto exec = execValue(program, arguments);
    if (!exec || !isValidText(name) || !isValidText(icon))
        return std::nullopt;
    std::string text = "[Desktop Entry]\nType=Application\nName=";
    text += escapeStringValue(name);
    if (!icon.empty()) {
        text += "\nIcon=";
        text += escapeStringValue(icon);
    }
    text += "\nExec=";
    text += *exec;
    text += "\nNoDisplay=true\nMimeType=";
    for (const auto& type : mimeTypes) {
        text += type;
        text += ';';
    }
    text += '\n';
    return text;
}

}  // namespace platform
