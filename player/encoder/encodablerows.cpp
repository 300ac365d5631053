// Rows to encode.
#include "player/encoder/encodablerows.h"

#include "platform/pathtext.h"

#include <QFileInfo>

namespace player {

bool IsEncodableRow(const controls::TVirtualItem& row)
{
    const QString path = row.SubItems[3];
    if (path.isEmpty() || row.SubItems[0] == QStringLiteral("PLAYLIST"))
        return false;
    const QFileInfo info(path);
    return info.fileName().compare(QStringLiteral("line.in"), Qt::CaseInsensitive) != 0 &&
           info.suffix().compare(QStringLiteral("cda"), Qt::CaseInsensitive) != 0;
}

std::vector<std::string> EncodableFiles(const controls::VqRowList& list, const std::vector<int>& rows)
{
    std::vector<std::string> files;
    for (int r : rows)
        if (r >= 0 && r < static_cast<int>(list.Rows.size()) && IsEncodableRow(list.Rows[static_cast<std::size_t>(r)]))
            files.push_back(platform::pathBytes(list.Rows[static_cast<std::size_t>(r)].SubItems[3]));
    return files;
}

}  // namespace player
