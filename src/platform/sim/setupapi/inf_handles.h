// The open INF handles of the engine. An HINF names a list of files: the
// file that was opened, then the files appended to it. Every file has an
// id (the first file's id is the HINF itself), which INFCONTEXT carries as
// CurrentInf. Handles are ids, not pointers, and are never reused, so a
// stale or made-up handle is refused instead of followed.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/setupapi.h"
#include "platform/sim/setupapi/loaded_inf.h"

namespace sim::setupapi {

struct OpenInf {
    struct Member {
        const void *id;
        std::unique_ptr<const LoadedInf> inf;
    };
    std::vector<Member> files;

    // The position of the file with this id, or files.size().
    std::size_t IndexOf(const void *id) const;
};

class InfHandles {
public:
    win::HINF Add(std::unique_ptr<const LoadedInf> inf);
    // The files behind `inf`, or null when it is no open handle.
    std::shared_ptr<OpenInf> Find(const void *inf) const;
    bool Remove(const void *inf);
    void Append(OpenInf *open, std::unique_ptr<const LoadedInf> inf);

private:
    const void *NewId();

    mutable std::mutex m_lock;
    std::unordered_map<const void *, std::shared_ptr<OpenInf>> m_open;
    std::uintptr_t m_lastId = 0;
};

}  // namespace sim::setupapi
