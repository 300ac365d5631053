// The marker of a pass over the base (adding, counting, checking, copying, tag writing): set for
// the pass's whole life however it ends. Nested passes (the count after a scan) keep it; only the
// outermost one tells the window that a pass begins and ends.
#pragma once

#include <functional>
#include <utility>

namespace database {

class PassScope {
public:
    explicit PassScope(bool& flag, std::function<void(bool running)> onOutermost = {})
        : m_flag(flag), m_was(flag), m_onOutermost(std::move(onOutermost))
    {
        m_flag = true;
        if (!m_was && m_onOutermost)
            m_onOutermost(true);
    }
    ~PassScope()
    {
        m_flag = m_was;
        if (!m_was && m_onOutermost)
            m_onOutermost(false);
    }
    PassScope(const PassScope&) = delete;
    PassScope& operator=(const PassScope&) = delete;

private:
    bool& m_flag;
    bool m_was;
    std::function<void(bool)> m_onOutermost;
};

}  // namespace database
