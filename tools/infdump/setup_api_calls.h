// The setup API entry points infdump calls, looked up by name in
// "SetupApi.DLL" exactly as the installer looks them up.
#pragma once

#include "platform/library.h"
#include "platform/setupapi.h"

namespace infdump {

struct SetupApiCalls {
    win::PFN_SetupOpenInfFileA OpenInfFile = nullptr;
    win::PFN_SetupCloseInfFile CloseInfFile = nullptr;
    win::PFN_SetupGetInfInformationA GetInfInformation = nullptr;
    win::PFN_SetupOpenAppendInfFileA OpenAppendInfFile = nullptr;
    win::PFN_SetupGetLineTextA GetLineText = nullptr;
    win::PFN_SetupFindFirstLineA FindFirstLine = nullptr;
    win::PFN_SetupFindNextLine FindNextLine = nullptr;
    win::PFN_SetupFindNextMatchLineA FindNextMatchLine = nullptr;
    win::PFN_SetupGetStringFieldA GetStringField = nullptr;
    win::PFN_SetupGetFieldCount GetFieldCount = nullptr;
    win::PFN_SetupGetLineCountA GetLineCount = nullptr;
    win::PFN_SetupGetLineByIndexA GetLineByIndex = nullptr;
    // May be missing: the dump then says "all: unavailable".
    win::PFN_SetupEnumInfSectionsA EnumInfSections = nullptr;
};

// The loaded library, freed when the object goes.
class SetupApiLibrary {
public:
    SetupApiLibrary();
    ~SetupApiLibrary();
    SetupApiLibrary(const SetupApiLibrary &) = delete;
    SetupApiLibrary &operator=(const SetupApiLibrary &) = delete;

    // False (with a message on standard error) when the library or one of
    // the required entry points is missing.
    bool Load();
    const SetupApiCalls &Calls() const { return m_calls; }

private:
    win::HMODULE m_module = nullptr;
    SetupApiCalls m_calls;
};

}  // namespace infdump
