// Desktop file associations: the launcher, our own MIME types and the default-application
// entries, each file replaced atomically so that a failure never leaves half a file behind.
#include "platform/desktoptypes.h"

#include "platform/desktopentry.h"
#include "platform/mimeappslist.h"
#include "platform/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

namespace {

// A mimeapps.list is a few kilobytes; anything far larger is not one we should rewrite.
constexpr qint64 kMaxListSize = 4 * 1024 * 1024;
constexpr int kUpdateTimeoutMs = 30000;

std::string homeSub(const char* variable, const char* fallback)
{
    const char* env = std::getenv(variable);
    // Relative values are invalid for these variables and are ignored.
    if (env && env[0] == '/')
        return QDir::cleanPath(QString::fromLocal8Bit(env)).toStdString();
    return QDir::cleanPath(QDir::homePath() + "/" + fallback).toStdString();
}

bool isSafeName(std::string_view name, std::string_view extra)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [extra](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               extra.find(c) != std::string_view::npos;
    });
}

// "mp3" from ".MP3"; nothing for an extension no glob or type name could hold.
std::optional<std::string> normalExtension(std::string_view extension)
{
    if (!extension.empty() && extension.front() == '.')
        extension.remove_prefix(1);
    if (!isSafeName(extension, "_+-"))
        return std::nullopt;
    std::string lower(extension);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

constexpr std::string_view kOwnTypePrefix = "application/x-quorvalen-";

std::string escapeXml(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool writeAtomically(const QString& path, const std::string& bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    return saveFile(path.toStdString(), bytes);
}

// The file's bytes; an empty text for a file that is not there; nothing when it exists but cannot
// be read whole.
std::optional<std::string> readExisting(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return std::string();
    QFile file(path);
    if (!info.isFile() || info.size() > kMaxListSize || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // As long as the file is (a read of the largest size would first allocate all of it).
    const QByteArray bytes = file.readAll();
    if (bytes.size() > kMaxListSize || file.error() != QFile::NoError)
        return std::nullopt;
    return bytes.toStdString();
}

// Orders the read-change-write of mimeapps.list between our threads and programs; other programs
// that write the file do not take it, which is why the file is still replaced atomically.
class ListLock {
public:
    explicit ListLock(const std::string& path) : m_guard(s_mutex)
    {
        QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~ListLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ListLock(const ListLock&) = delete;
    ListLock& operator=(const ListLock&) = delete;
    bool locked() const { return m_fd >= 0; }

private:
    static inline std::mutex s_mutex;
    std::lock_guard<std::mutex> m_guard;
    int m_fd = -1;
};

// A changed package (or a database never built) asks for update-mime-database; a missing tool
// leaves the package for the next run of it, which the desktop does often enough.
void refreshMimeDatabase(const QString& mimeFolder)
{
    const QString tool = QStandardPaths::findExecutable("update-mime-database");
    if (tool.isEmpty())
        return;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(tool, {mimeFolder});
    if (process.waitForStarted() && !process.waitForFinished(kUpdateTimeoutMs)) {
        process.kill();
        process.waitForFinished();
    }
}

bool writeMimePackage(const std::string& id, const std::string& description,
                      const std::vector<std::pair<std::string, std::string>>& ownTypes)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (const auto& [type, extension] : ownTypes) {
        xml += "  <mime-type type=\"" + type + "\">\n";
        xml += "    <comment>" + escapeXml(description) + "</comment>\n";
        xml += "    <glob pattern=\"*." + extension + "\"/>\n";
        xml += "  </mime-type>\n";
    }
    xml += "</mime-info>\n";

    const QString mimeFolder = QString::fromStdString(xdgDataHome() + "/mime");
    const QString path = mimeFolder + "/packages/" + QString::fromStdString(id) + ".xml";
    const auto old = readExisting(path);
    if (old && *old == xml && QFileInfo::exists(mimeFolder + "/mime.cache"))
        return true;
    if (!writeAtomically(path, xml))
        return false;
    refreshMimeDatabase(mimeFolder);
    return true;
}

}  // namespace

std::string xdgDataHome() { return homeSub("XDG_DATA_HOME", ".local/share"); }

std::string xdgConfigHome() { return homeSub("XDG_CONFIG_HOME", ".config"); }

std::vector<std::string> mimeTypesForExtension(std::string_view extension)
{
    static const std::array<std::pair<std::string_view, std::vector<std::string>>, 5> kStandard = {{
        {"mp3", {"audio/mpeg"}},
        {"wav", {"audio/x-wav"}},
        {"wma", {"audio/x-ms-wma"}},
        // The desktop may tell an Ogg file by its content as Vorbis rather than plain Ogg.
        {"ogg", {"audio/ogg", "audio/x-vorbis+ogg"}},
        {"m3u", {"audio/x-mpegurl"}},
    }};
    const auto ext = normalExtension(extension);
    if (!ext)
        return {};
    for (const auto& [name, types] : kStandard) {
        if (name == *ext)
            return types;
    }
    return {std::string(kOwnTypePrefix) + *ext};
}

bool registerDesktopFileType(const DesktopFileType& type, const std::string& programPath)
{
    if (!isSafeName(type.id, "_.-") || type.extensions.empty())
        return false;
    std::vector<std::string> mimeTypes;
    std::vector<std::pair<std::string, std::string>> ownTypes;
    for (const auto& extension : type.extensions) {
        const auto types = mimeTypesForExtension(extension);
        if (types.empty())
            return false;
        for (const auto& t : types) {
            if (std::find(mimeTypes.begin(), mimeTypes.end(), t) != mimeTypes.end())
                continue;
            mimeTypes.push_back(t);
            if (t.rfind(kOwnTypePrefix, 0) == 0)
                ownTypes.emplace_back(t, t.substr(kOwnTypePrefix.size()));
        }
    }

    if (!type.iconPng.empty()) {
        const QString icon = QString::fromStdString(xdgDataHome() + "/icons/hicolor/32x32/apps/" + type.id + ".png");
        const auto old = readExisting(icon);
        if (!(old && *old == type.iconPng) && !writeAtomically(icon, type.iconPng))
            return false;
    }
    const auto entry = desktopEntryText(type.description, programPath, type.arguments, mimeTypes,
                                        type.iconPng.empty() ? std::string_view() : std::string_view(type.id));
    if (!entry)
        return false;
    const std::string desktopId = type.id + ".desktop";
    if (!writeAtomically(QString::fromStdString(xdgDataHome() + "/applications/" + desktopId), *entry))
        return false;
    if (!ownTypes.empty() && !writeMimePackage(type.id, type.description, ownTypes))
        return false;

    const std::string config = xdgConfigHome();
    const ListLock lock(config + "/quorvalen/mimeapps.lock");
    if (!lock.locked())
        return false;
    const QString listPath = QString::fromStdString(config + "/mimeapps.list");
    const auto old = readExisting(listPath);
    if (!old)
        return false;
    const std::string merged = setDefaultApplications(*old, mimeTypes, desktopId);
    return merged == *old || writeAtomically(listPath, merged);
}

}  // namespace platform
