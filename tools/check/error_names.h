// What a setup API or system error code means, in words a vendor knows.
#pragma once

#include <string>

namespace check {

// "error 0x00000005 (permission denied)"; the bare number for a code with
// no words here.
std::string DescribeError(unsigned long code);

}  // namespace check
