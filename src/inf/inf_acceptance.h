// What the installer asks of an INF file before it takes it: the class and
// the signature the running family of Windows accepts, and, on the Windows
// 95 family, a provider that can name the file's copy in Inf\Other. The INF
// steps and the package check share these rules.
#pragma once

#include "framework/afx.h"

// Class "Printer", letter case ignored.
bool IsPrinterClass(const CString &infClass);

// The signature the family of `osCode` accepts: "$Windows 95$" or
// "$CHICAGO$" on the 95 family, "$Windows NT$" on the NT family, letter
// case ignored. No signature is accepted on an unsupported system.
bool IsAcceptedSignature(const CString &signature, WORD osCode);

enum class OemName95 {
    kOk,
    kNoProvider,     // [Version] Provider missing, empty or "NOKEY"
    kNoStringsText,  // a %Key% provider whose [Strings] entry cannot be read
    kNotAFileName,   // the provider would lead out of Inf\Other or name a device
};

// The name the Windows 95 family's copy of `infPath` takes in Inf\Other:
// its provider (a %Key% provider resolved from [Strings]) joined to the
// INF's file name, as the profile reader gives the raw texts. `provider`
// holds what was read so far on every result.
OemName95 OemInfName95(const CString &infPath, CString &provider, CString &name);
