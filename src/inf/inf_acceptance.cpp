#include "inf/inf_acceptance.h"

#include "app/mirtel_app.h"
#include "inf/inf_paths.h"
#include "lang/path_utils.h"

namespace {

// "%Key%" names an entry of [Strings]; the profile reader gives the raw
// text, so the program resolves that one token itself.
bool IsStringsToken(const CString &text) {
    return text.size() >= 2 && text.front() == '%' && text.back() == '%';
}

}  // namespace

bool IsPrinterClass(const CString &infClass) { return SameTextNoCase(infClass, "Printer"); }

bool IsAcceptedSignature(const CString &signature, WORD osCode) {
    switch (osCode) {
    case kOSWin95:
    case kOSWin98:
        return SameTextNoCase(signature, "$Windows 95$") || SameTextNoCase(signature, "$CHICAGO$");
    case kOSWinNT4:
    case kOSWinNT5:
        return SameTextNoCase(signature, "$Windows NT$");
    default:
        return false;
    }
}

OemName95 OemInfName95(const CString &infPath, CString &provider, CString &name) {
    name.clear();
    int present = 0;
    if (!ReadProfileString(infPath.c_str(), "Version", "Provider", provider, present))
        return OemName95::kNoProvider;
    if (IsStringsToken(provider)) {
        const CString key = provider.substr(1, provider.size() - 2);
        CString value;
        if (key.empty() || !ReadProfileString(infPath.c_str(), "Strings", key.c_str(), value, present))
            return OemName95::kNoStringsText;
        provider = value;
    }
    CString fileName;
    SplitPath(infPath.c_str(), kSplitNameExt, fileName);
    // The provider is the maker's text, not a name this program chose: one
    // that would lead out of Inf\Other, or name a device, is refused.
    if (!IsPlainFileName(provider + fileName)) return OemName95::kNotAFileName;
    name = provider + fileName;
    return OemName95::kOk;
}
