// Windows NT 4.0 names its installed suites, among them "Terminal Server",
// in the ProductSuite list of the ProductOptions key.
#include "checks/product_suite.h"

#include <cstring>
#include <new>

namespace {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using KeyHolder = std::unique_ptr<HKEY__, KeyCloser>;

// Spare zero bytes after the value's data: a list stored without its
// closing empty string still ends inside the block.
constexpr DWORD kListEndPadding = 2;

}  // namespace

BOOL kHasProductSuite(const char *name) {
    HKEY opened = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\ProductOptions",
                    &opened) != ERROR_SUCCESS)
        return FALSE;
    KeyHolder key(opened);

    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), "ProductSuite", nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        size == 0)
        return FALSE;

    std::unique_ptr<char[]> block(new (std::nothrow) char[size + kListEndPadding]());
    if (!block) return FALSE;
    if (RegQueryValueExA(key.get(), "ProductSuite", nullptr, &type,
                         reinterpret_cast<BYTE *>(block.get()), &size) != ERROR_SUCCESS ||
        type != REG_MULTI_SZ)
        return FALSE;

    for (const char *entry = block.get(); *entry != '\0'; entry += std::strlen(entry) + 1)
        if (std::strcmp(entry, name) == 0) return TRUE;
    return FALSE;
}
