// How the engine's calls end: the BOOL they return and the last-error code
// they leave, set together so that neither is forgotten.
#pragma once

#include "platform/types.h"

namespace sim::setupapi {

inline win::BOOL Fail(win::DWORD error) {
    win::SetLastError(error);
    return win::FALSE;
}

inline win::BOOL Succeed() {
    win::SetLastError(win::NO_ERROR);
    return win::TRUE;
}

}  // namespace sim::setupapi
