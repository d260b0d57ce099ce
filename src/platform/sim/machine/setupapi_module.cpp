#include "platform/sim/machine/setupapi_module.h"

#include <cstring>
#include <type_traits>

#include "platform/sim/setupapi/exports.h"

namespace sim {
namespace {

using namespace setupapi::exports;

// Every INF entry point has exactly the type the program calls it through.
static_assert(std::is_same_v<decltype(&SetupOpenInfFileA), win::PFN_SetupOpenInfFileA>);
static_assert(std::is_same_v<decltype(&SetupCloseInfFile), win::PFN_SetupCloseInfFile>);
static_assert(std::is_same_v<decltype(&SetupGetInfInformationA), win::PFN_SetupGetInfInformationA>);
static_assert(std::is_same_v<decltype(&SetupOpenAppendInfFileA), win::PFN_SetupOpenAppendInfFileA>);
static_assert(std::is_same_v<decltype(&SetupGetLineTextA), win::PFN_SetupGetLineTextA>);
static_assert(std::is_same_v<decltype(&SetupFindFirstLineA), win::PFN_SetupFindFirstLineA>);
static_assert(std::is_same_v<decltype(&SetupFindNextLine), win::PFN_SetupFindNextLine>);
static_assert(std::is_same_v<decltype(&SetupFindNextMatchLineA), win::PFN_SetupFindNextMatchLineA>);
static_assert(std::is_same_v<decltype(&SetupGetStringFieldA), win::PFN_SetupGetStringFieldA>);
static_assert(std::is_same_v<decltype(&SetupGetFieldCount), win::PFN_SetupGetFieldCount>);
static_assert(std::is_same_v<decltype(&SetupGetLineCountA), win::PFN_SetupGetLineCountA>);
static_assert(std::is_same_v<decltype(&SetupGetLineByIndexA), win::PFN_SetupGetLineByIndexA>);
static_assert(std::is_same_v<decltype(&SetupEnumInfSectionsA), win::PFN_SetupEnumInfSectionsA>);

struct Export {
    const char *name;
    win::FARPROC entry;
};

template <class Function>
win::FARPROC Entry(Function *function) {
    return reinterpret_cast<win::FARPROC>(function);
}

const Export kExports[] = {
    {"SetupCloseFileQueue", Entry(SetupCloseFileQueue)},
    {"SetupCloseInfFile", Entry(SetupCloseInfFile)},
    {"SetupCommitFileQueueA", Entry(SetupCommitFileQueueA)},
    {"SetupCopyOEMInfA", Entry(SetupCopyOEMInfA)},
    {"SetupDefaultQueueCallbackA", Entry(SetupDefaultQueueCallbackA)},
    {"SetupEnumInfSectionsA", Entry(SetupEnumInfSectionsA)},
    {"SetupFindFirstLineA", Entry(SetupFindFirstLineA)},
    {"SetupFindNextLine", Entry(SetupFindNextLine)},
    {"SetupFindNextMatchLineA", Entry(SetupFindNextMatchLineA)},
    {"SetupGetFieldCount", Entry(SetupGetFieldCount)},
    {"SetupGetInfInformationA", Entry(SetupGetInfInformationA)},
    {"SetupGetLineByIndexA", Entry(SetupGetLineByIndexA)},
    {"SetupGetLineCountA", Entry(SetupGetLineCountA)},
    {"SetupGetLineTextA", Entry(SetupGetLineTextA)},
    {"SetupGetSourceFileLocationA", Entry(SetupGetSourceFileLocationA)},
    {"SetupGetSourceInfoA", Entry(SetupGetSourceInfoA)},
    {"SetupGetStringFieldA", Entry(SetupGetStringFieldA)},
    {"SetupGetTargetPathA", Entry(SetupGetTargetPathA)},
    {"SetupInitDefaultQueueCallback", Entry(SetupInitDefaultQueueCallback)},
    {"SetupOpenAppendInfFileA", Entry(SetupOpenAppendInfFileA)},
    {"SetupOpenFileQueue", Entry(SetupOpenFileQueue)},
    {"SetupOpenInfFileA", Entry(SetupOpenInfFileA)},
    {"SetupPromptForDiskA", Entry(SetupPromptForDiskA)},
    {"SetupQueueCopyA", Entry(SetupQueueCopyA)},
    {"SetupTermDefaultQueueCallback", Entry(SetupTermDefaultQueueCallback)},
};

}  // namespace

// Export names match exactly, letter case included, as GetProcAddress
// matches them on Windows.
win::FARPROC SetupApiExport(const char *name) {
    for (const Export &entry : kExports)
        if (std::strcmp(entry.name, name) == 0) return entry.entry;
    return nullptr;
}

}  // namespace sim
