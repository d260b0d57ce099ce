// Win32 error codes the simulated file system gives beyond those the
// program itself names in platform/types.h.
#pragma once

#include "platform/types.h"

namespace sim {

constexpr win::DWORD ERROR_BAD_NETPATH = 53;
constexpr win::DWORD ERROR_DISK_FULL = 112;
constexpr win::DWORD ERROR_BAD_PATHNAME = 161;
constexpr win::DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr win::DWORD ERROR_DIRECTORY = 267;

// The Win32 error for a failed host call's errno.
win::DWORD FileErrorOfErrno(int error);

}  // namespace sim
