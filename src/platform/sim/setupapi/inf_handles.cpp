#include "platform/sim/setupapi/inf_handles.h"

#include <utility>

namespace sim::setupapi {
namespace {

// Ids start high enough to stay clear of small integers callers might
// pass by mistake, and step by 8 like heap addresses.
constexpr std::uintptr_t kIdBase = 0x00C10000;
constexpr std::uintptr_t kIdStep = 8;

}  // namespace

std::size_t OpenInf::IndexOf(const void *id) const {
    std::size_t index = 0;
    while (index < files.size() && files[index].id != id) ++index;
    return index;
}

const void *InfHandles::NewId() {
    m_lastId = m_lastId == 0 ? kIdBase : m_lastId + kIdStep;
    return reinterpret_cast<const void *>(m_lastId);
}

win::HINF InfHandles::Add(std::shared_ptr<const LoadedInf> file) {
    auto open = std::make_shared<OpenInf>();
    std::lock_guard<std::mutex> guard(m_lock);
    const void *id = NewId();
    open->files.push_back({id, std::move(file)});
    m_open.emplace(id, std::move(open));
    return const_cast<void *>(id);
}

std::shared_ptr<const OpenInf> InfHandles::Find(const void *inf) const {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_open.find(inf);
    return found != m_open.end() ? found->second : nullptr;
}

bool InfHandles::Remove(const void *inf) {
    std::shared_ptr<const OpenInf> closing;  // freed outside the lock
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_open.find(inf);
    if (found == m_open.end()) return false;
    closing = std::move(found->second);
    m_open.erase(found);
    return true;
}

bool InfHandles::Append(const void *inf, std::shared_ptr<const LoadedInf> file) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_open.find(inf);
    if (found == m_open.end()) return false;
    auto longer = std::make_shared<OpenInf>(*found->second);
    longer->files.push_back({NewId(), std::move(file)});
    found->second = std::move(longer);
    return true;
}

}  // namespace sim::setupapi
