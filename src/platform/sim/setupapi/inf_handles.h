// The open INF handles of the engine. An HINF names a list of files: the
// file that was opened, then the files appended to it. Every file has an
// id (the first file's id is the HINF itself), which INFCONTEXT carries as
// CurrentInf. Handles are ids, not pointers, and are never reused, so a
// stale or made-up handle is refused instead of followed. A list never
// changes once made: appending a file puts a longer list in its place, so
// a caller holding a list is not disturbed by another thread's append.
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
        std::shared_ptr<const LoadedInf> inf;
    };
    std::vector<Member> files;

    // The position of the file with this id, or files.size().
    std::size_t IndexOf(const void *id) const;
};

class InfHandles {
public:
    win::HINF Add(std::shared_ptr<const LoadedInf> file);
    // The files behind `inf`, or null when it is no open handle.
    std::shared_ptr<const OpenInf> Find(const void *inf) const;
    bool Remove(const void *inf);
    // False when `inf` is no open handle.
    bool Append(const void *inf, std::shared_ptr<const LoadedInf> file);

private:
    const void *NewId();

    mutable std::mutex m_lock;
    std::unordered_map<const void *, std::shared_ptr<const OpenInf>> m_open;
    std::uintptr_t m_lastId = 0;
};

}  // namespace sim::setupapi
