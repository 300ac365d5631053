// Lossless file names in QStrings: bytes that are not UTF-8 travel as lone low surrogates.
#include "platform/pathtext.h"

#include "platform/cp1251.h"

namespace platform {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscapedByte(char16_t u) { return u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF; }

}  // namespace

QString pathToQString(std::string_view bytes)
{
    // A name that is UTF-8 throughout, as nearly all are, is decoded in one go: a long playlist
    // reads its paths at the speed of the text.
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        char32_t cp = 0;
        const std::size_t len = decodeUtf8(bytes, pos, cp);
        if (len == 0) {
            out += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[pos])));
            ++pos;
            continue;
        }
        if (cp >= 0x10000) {
            out += QChar(QChar::highSurrogate(cp));
            out += QChar(QChar::lowSurrogate(cp));
        } else {
            out += QChar(static_cast<char16_t>(cp));
        }
        pos += len;
    }
    return out;
}

std::string pathBytes(const QString& path)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(path.size()));
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = path[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(path[i + 1].unicode())) {
            appendUtf8(out, QChar::surrogateToUcs4(u, path[i + 1].unicode()));
            ++i;
        } else if (isEscapedByte(u)) {
            out += static_cast<char>(u - kEscapeBase);
        } else if (QChar::isSurrogate(u)) {
            appendUtf8(out, 0xFFFD);  // no name holds it: nothing better to write
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

bool hasRawBytes(const QString& path)
{
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t u = path[i].unicode();
        if (isEscapedByte(u) && (i == 0 || !QChar::isHighSurrogate(path[i - 1].unicode())))
            return true;
    }
    return false;
}

QString pathForDisplay(const QString& path)
{
    if (!hasRawBytes(path))
        return path;
    return QString::fromStdString(decodeText(pathBytes(path)));
}

}  // namespace platform
