// The ANSI code page Windows uses for a system language.
#pragma once

namespace check {

unsigned AnsiCodePageOf(unsigned langId);

}  // namespace check
