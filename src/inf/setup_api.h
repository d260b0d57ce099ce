// The setup API, loaded at run time from the system's folders, with thin
// wrappers that never call through a missing entry point.
#pragma once

#include "framework/afx.h"
#include "platform/setupapi.h"

class CSetupApi : public CObject {
public:
    MIRTEL_DECLARE_DYNAMIC(CSetupApi)
    // Adds ";" + `directory` (the Windows folder) to PATH, loads
    // "SetupApi.DLL" from the system folder, else from `directory`, else
    // (a package's own copy) from beside the program, and resolves its
    // entry points. `ok` tells the outcome.
    CSetupApi(BOOL &ok, const char *directory);
    ~CSetupApi() override;
    CSetupApi(const CSetupApi &) = delete;
    CSetupApi &operator=(const CSetupApi &) = delete;

    HINF SetupOpenInfFile(const char *fileName, const char *infClass, DWORD infStyle,
                          UINT *errorLine);
    void SetupCloseInfFile(HINF inf);
    BOOL SetupGetInfInformation(const void *infSpec, DWORD searchControl,
                                SP_INF_INFORMATION *buffer, DWORD bufferSize, DWORD *requiredSize);
    BOOL SetupOpenAppendInfFile(const char *fileName, HINF inf, UINT *errorLine);
    BOOL SetupGetLineText(INFCONTEXT *context, HINF inf, const char *section, const char *key,
                          char *buffer, DWORD bufferSize, DWORD *requiredSize);
    BOOL SetupFindFirstLine(HINF inf, const char *section, const char *key, INFCONTEXT *context);
    BOOL SetupGetStringField(INFCONTEXT *context, DWORD fieldIndex, char *buffer,
                             DWORD bufferSize, DWORD *requiredSize);
    BOOL SetupFindNextLine(const INFCONTEXT *contextIn, INFCONTEXT *contextOut);

    // The entry points in the order they are resolved.
    enum EntryPoint {
        kSetupOpenInfFileA, kSetupCloseInfFile, kSetupGetInfInformationA,
        kSetupOpenAppendInfFileA, kSetupPromptForDiskA, kSetupGetLineTextA,
        kSetupFindFirstLineA, kSetupGetStringFieldA, kSetupGetTargetPathA, kSetupCopyOEMInfA,
        kSetupOpenFileQueue, kSetupCloseFileQueue, kSetupQueueCopyA, kSetupCommitFileQueueA,
        kSetupDefaultQueueCallbackA, kSetupInitDefaultQueueCallback,
        kSetupTermDefaultQueueCallback, kSetupFindNextLine, kSetupGetSourceFileLocationA,
        kSetupGetSourceInfoA, kEntryPointCount
    };
    BOOL HasEntryPoint(EntryPoint entry) const { return m_slots[entry] != nullptr; }

private:
    HMODULE m_hModule = nullptr;
    FARPROC m_slots[kEntryPointCount] = {};
};
