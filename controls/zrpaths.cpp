// Path helpers of the folder tree.
#include "controls/zrpaths.h"

#include "platform/direntries.h"

#include <QFontMetrics>
#include <QLabel>
#include <QString>

#include <algorithm>

namespace controls {

bool IsVirtualPath(std::string_view path)
{
    return path.substr(0, 2) == "?.";
}

std::string RealPath(std::string_view path)
{
    if (!IsVirtualPath(path))
        return std::string(path);
    std::string_view rest = path.size() > 3 ? path.substr(3) : std::string_view{};
    const auto mark = rest.rfind("?.$");  // the node-id suffix TellSetDirectory appends
    if (mark != std::string_view::npos)
        rest = rest.substr(0, mark);
    return std::string(rest);
}

std::string LastPathComponent(std::string_view path)
{
    const auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool FolderHasEntries(const std::string& folder)
{
    return platform::folderHasEntries(folder);
}

std::string ShortenPath(const std::string& path, int limit, const std::function<int(const std::string&)>& widthOf)
{
    const auto lastSlash = path.rfind('/');
    std::string folder = lastSlash == std::string::npos ? std::string() : path.substr(0, lastSlash + 1);
    const std::string name = lastSlash == std::string::npos ? path : path.substr(lastSlash + 1);
    std::string text = path;
    while (!folder.empty() && widthOf(text) > limit) {
        if (folder == "/.../") {
            folder = ".../";
        } else if (folder == "/") {
            folder.clear();
        } else {
            const bool lead = folder.front() == '/';
            if (lead)
                folder.erase(0, 1);
            if (folder.rfind(".../", 0) == 0)
                folder.erase(0, 4);  // an earlier cut
            const auto slash = folder.find('/');
            folder = slash == std::string::npos ? std::string() : ".../" + folder.substr(slash + 1);
            if (lead)
                folder.insert(0, "/");
        }
        text = folder + name;
    }
    return text;
}

void ShowPathInLabel(QLabel* label, const std::string& path, int width)
{
    if (!label)
        return;
    const int limit = label->sizePolicy().horizontalPolicy() == QSizePolicy::Fixed ? label->width() : width;
    const QFontMetrics metrics(label->font());
    const std::string text = ShortenPath(RealPath(path), limit, [&](const std::string& s) {
        return metrics.horizontalAdvance(QString::fromStdString(s));
    });
    label->setText(QString::fromStdString(text));
}

int CompareFileNames(std::string_view a, std::string_view b)
{
    const int folded = QString::fromUtf8(a.data(), a.size())
                           .compare(QString::fromUtf8(b.data(), b.size()), Qt::CaseInsensitive);
    if (folded != 0)
        return folded < 0 ? -1 : 1;
    return a == b ? 0 : (a < b ? -1 : 1);
}

bool SameFileName(std::string_view a, std::string_view b)
{
    return a == b || QString::fromUtf8(a.data(), a.size())
                             .compare(QString::fromUtf8(b.data(), b.size()), Qt::CaseInsensitive) == 0;
}

}  // namespace controls
