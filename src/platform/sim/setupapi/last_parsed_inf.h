// The INF file this process parsed last. An installer asks for an INF's
// information by name (once for the size, once for the data) and then
// opens it: three reads and parses of the same file, which for a driver
// CD's INF of tens of megabytes is most of the installer's time. The
// parse is kept for the next call that names the same unchanged file
// (same path, identity, size and change times) and let go when a handle
// holding it is closed or another file is parsed.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/sim/setupapi/engine_settings.h"
#include "platform/sim/setupapi/loaded_inf.h"

namespace sim::setupapi {

class LastParsedInf {
public:
    // The parse of the file at `fullPath` whose stamp is `stamp`, or null.
    std::shared_ptr<const LoadedInf> Find(const std::string &fullPath, const FileStamp &stamp) const;
    // `inf` is the file at `fullPath` as it was when `stamp` was taken
    // (before it was read, so that a change while reading is not missed).
    void Remember(const std::string &fullPath, const FileStamp &stamp, std::shared_ptr<const LoadedInf> inf);
    // Lets `inf` go if it is the one kept.
    void Forget(const LoadedInf *inf);

private:
    mutable std::mutex m_lock;
    std::string m_fullPath;
    FileStamp m_stamp;
    std::shared_ptr<const LoadedInf> m_inf;
};

}  // namespace sim::setupapi
