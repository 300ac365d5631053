// The copy plan.
#include "database/copyplan.h"

#include <QString>

#include <unordered_set>

namespace database {

CopyPlan planCopies(const std::vector<std::string>& sources, const std::string& folder)
{
    CopyPlan plan;
    std::string base = folder;
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    std::unordered_set<std::string> taken;
    for (const std::string& source : sources) {
        const std::size_t slash = source.find_last_of('/');
        const std::string name = slash == std::string::npos ? source : source.substr(slash + 1);
        const std::string key = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))
                                    .toCaseFolded()
                                    .toStdString();
        if (!taken.insert(key).second) {
            plan.sameName.push_back(source);
            continue;
        }
        plan.copies.push_back({source, (base == "/" ? std::string() : base) + "/" + name});
    }
    return plan;
}

}  // namespace database
