#include "families.h"

#include "app/mirtel_app.h"

namespace check {

const std::vector<Family> &Families() {
    static const std::vector<Family> families = {
        {"95", "Windows 95", 1, 4, 0, 950, kOSWin95, "C:\\WINDOWS\\SYSTEM"},
        {"98", "Windows 98/Me", 1, 4, 10, 1998, kOSWin98, "C:\\WINDOWS\\SYSTEM"},
        {"nt4", "Windows NT 4.0", 2, 4, 0, 1381, kOSWinNT4, "C:\\WINDOWS\\system32"},
        {"xp", "Windows 2000/XP", 2, 5, 1, 2600, kOSWinNT5, "C:\\WINDOWS\\system32"},
        {"7", "Windows Vista/7", 2, 6, 1, 7601, kOSWinNT5, "C:\\WINDOWS\\system32"},
    };
    return families;
}

}  // namespace check
