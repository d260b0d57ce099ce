#include "setup_api_calls.h"

#include <cstdio>

namespace infdump {
namespace {

template <class Function>
bool Resolve(win::HMODULE module, const char *name, Function *slot, bool required) {
    *slot = reinterpret_cast<Function>(win::GetProcAddress(module, name));
    if (*slot == nullptr && required) {
        std::fprintf(stderr, "infdump: SetupApi.DLL has no %s (error %lu)\n", name,
                     static_cast<unsigned long>(win::GetLastError()));
        return false;
    }
    return true;
}

}  // namespace

SetupApiLibrary::SetupApiLibrary() = default;

SetupApiLibrary::~SetupApiLibrary() {
    if (m_module != nullptr) win::FreeLibrary(m_module);
}

bool SetupApiLibrary::Load() {
    m_module = win::LoadLibraryA("SetupApi.DLL");
    if (m_module == nullptr) {
        std::fprintf(stderr, "infdump: cannot load SetupApi.DLL (error %lu)\n",
                     static_cast<unsigned long>(win::GetLastError()));
        return false;
    }
    SetupApiCalls &c = m_calls;
    return Resolve(m_module, "SetupOpenInfFileA", &c.OpenInfFile, true) &&
           Resolve(m_module, "SetupCloseInfFile", &c.CloseInfFile, true) &&
           Resolve(m_module, "SetupGetInfInformationA", &c.GetInfInformation, true) &&
           Resolve(m_module, "SetupOpenAppendInfFileA", &c.OpenAppendInfFile, true) &&
           Resolve(m_module, "SetupGetLineTextA", &c.GetLineText, true) &&
           Resolve(m_module, "SetupFindFirstLineA", &c.FindFirstLine, true) &&
           Resolve(m_module, "SetupFindNextLine", &c.FindNextLine, true) &&
           Resolve(m_module, "SetupFindNextMatchLineA", &c.FindNextMatchLine, true) &&
           Resolve(m_module, "SetupGetStringFieldA", &c.GetStringField, true) &&
           Resolve(m_module, "SetupGetFieldCount", &c.GetFieldCount, true) &&
           Resolve(m_module, "SetupGetLineCountA", &c.GetLineCount, true) &&
           Resolve(m_module, "SetupGetLineByIndexA", &c.GetLineByIndex, true) &&
           Resolve(m_module, "SetupEnumInfSectionsA", &c.EnumInfSections, false);
}

}  // namespace infdump
