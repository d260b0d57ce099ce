#include "platform/sim/setupapi/last_parsed_inf.h"

#include <utility>

namespace sim::setupapi {

std::shared_ptr<const LoadedInf> LastParsedInf::Find(const std::string &fullPath, const FileStamp &stamp) const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_inf && m_fullPath == fullPath && m_stamp == stamp ? m_inf : nullptr;
}

void LastParsedInf::Remember(const std::string &fullPath, const FileStamp &stamp,
                             std::shared_ptr<const LoadedInf> inf) {
    std::shared_ptr<const LoadedInf> replaced;  // freed outside the lock
    std::lock_guard<std::mutex> guard(m_lock);
    replaced = std::exchange(m_inf, std::move(inf));
    m_fullPath = fullPath;
    m_stamp = stamp;
}

void LastParsedInf::Forget(const LoadedInf *inf) {
    std::shared_ptr<const LoadedInf> forgotten;  // freed outside the lock
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_inf.get() == inf) forgotten = std::move(m_inf);
}

}  // namespace sim::setupapi
