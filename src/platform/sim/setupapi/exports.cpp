#include "platform/sim/setupapi/exports.h"

#include "platform/sim/setupapi/setupapi_engine.h"

namespace sim::setupapi::exports {
namespace {

SetupApiEngine &Engine() { return SetupApiEngine::OfMachine(); }

void NotImplemented() { win::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); }

constexpr win::UINT DPROMPT_CANCEL = 1;
constexpr win::UINT FILEOP_ABORT = 0;

}  // namespace

win::HINF MIRTEL_STDCALL SetupOpenInfFileA(const char *fileName, const char *infClass, win::DWORD infStyle,
                                           win::UINT *errorLine) {
    return Engine().OpenInfFile(fileName, infClass, infStyle, errorLine);
}

void MIRTEL_STDCALL SetupCloseInfFile(win::HINF inf) { Engine().CloseInfFile(inf); }

win::BOOL MIRTEL_STDCALL SetupGetInfInformationA(const void *infNameOrHandle, win::DWORD searchControl,
                                                 win::SP_INF_INFORMATION *buffer, win::DWORD bufferSize,
                                                 win::DWORD *requiredSize) {
    return Engine().GetInfInformation(infNameOrHandle, searchControl, buffer, bufferSize, requiredSize);
}

win::BOOL MIRTEL_STDCALL SetupOpenAppendInfFileA(const char *fileName, win::HINF inf, win::UINT *errorLine) {
    return Engine().OpenAppendInfFile(fileName, inf, errorLine);
}

win::BOOL MIRTEL_STDCALL SetupGetLineTextA(win::INFCONTEXT *context, win::HINF inf, const char *section,
                                           const char *key, char *buffer, win::DWORD bufferSize,
                                           win::DWORD *requiredSize) {
    return Engine().GetLineText(context, inf, section, key, buffer, bufferSize, requiredSize);
}

win::BOOL MIRTEL_STDCALL SetupFindFirstLineA(win::HINF inf, const char *section, const char *key,
                                             win::INFCONTEXT *context) {
    return Engine().FindFirstLine(inf, section, key, context);
}

win::BOOL MIRTEL_STDCALL SetupFindNextLine(const win::INFCONTEXT *contextIn, win::INFCONTEXT *contextOut) {
    return Engine().FindNextLine(contextIn, contextOut);
}

win::BOOL MIRTEL_STDCALL SetupFindNextMatchLineA(const win::INFCONTEXT *contextIn, const char *key,
                                                 win::INFCONTEXT *contextOut) {
    return Engine().FindNextMatchLine(contextIn, key, contextOut);
}

win::BOOL MIRTEL_STDCALL SetupGetStringFieldA(win::INFCONTEXT *context, win::DWORD fieldIndex, char *buffer,
                                              win::DWORD bufferSize, win::DWORD *requiredSize) {
    return Engine().GetStringField(context, fieldIndex, buffer, bufferSize, requiredSize);
}

win::DWORD MIRTEL_STDCALL SetupGetFieldCount(win::INFCONTEXT *context) { return Engine().GetFieldCount(context); }

win::LONG MIRTEL_STDCALL SetupGetLineCountA(win::HINF inf, const char *section) {
    return Engine().GetLineCount(inf, section);
}

win::BOOL MIRTEL_STDCALL SetupGetLineByIndexA(win::HINF inf, const char *section, win::DWORD index,
                                              win::INFCONTEXT *context) {
    return Engine().GetLineByIndex(inf, section, index, context);
}

win::BOOL MIRTEL_STDCALL SetupEnumInfSectionsA(win::HINF inf, win::UINT index, char *buffer, win::DWORD size,
                                               win::DWORD *requiredSize) {
    return Engine().EnumInfSections(inf, index, buffer, size, requiredSize);
}

win::UINT MIRTEL_STDCALL SetupPromptForDiskA(win::HWND, const char *, const char *, const char *, const char *,
                                             const char *, win::DWORD, char *, win::DWORD, win::DWORD *) {
    NotImplemented();
    return DPROMPT_CANCEL;
}

win::BOOL MIRTEL_STDCALL SetupGetTargetPathA(win::HINF, win::INFCONTEXT *, const char *, char *, win::DWORD,
                                             win::DWORD *) {
    NotImplemented();
    return win::FALSE;
}

win::BOOL MIRTEL_STDCALL SetupCopyOEMInfA(const char *, const char *, win::DWORD, win::DWORD, char *, win::DWORD,
                                          win::DWORD *, char **) {
    NotImplemented();
    return win::FALSE;
}

HSPFILEQ MIRTEL_STDCALL SetupOpenFileQueue() {
    NotImplemented();
    return win::INVALID_HANDLE_VALUE;
}

win::BOOL MIRTEL_STDCALL SetupCloseFileQueue(HSPFILEQ) {
    NotImplemented();
    return win::FALSE;
}

win::BOOL MIRTEL_STDCALL SetupQueueCopyA(HSPFILEQ, const char *, const char *, const char *, const char *,
                                         const char *, const char *, const char *, win::DWORD) {
    NotImplemented();
    return win::FALSE;
}

win::BOOL MIRTEL_STDCALL SetupCommitFileQueueA(win::HWND, HSPFILEQ, PSP_FILE_CALLBACK_A, void *) {
    NotImplemented();
    return win::FALSE;
}

win::UINT MIRTEL_STDCALL SetupDefaultQueueCallbackA(void *, win::UINT, std::uintptr_t, std::uintptr_t) {
    NotImplemented();
    return FILEOP_ABORT;
}

void *MIRTEL_STDCALL SetupInitDefaultQueueCallback(win::HWND) {
    NotImplemented();
    return nullptr;
}

void MIRTEL_STDCALL SetupTermDefaultQueueCallback(void *) { NotImplemented(); }

win::BOOL MIRTEL_STDCALL SetupGetSourceFileLocationA(win::HINF, win::INFCONTEXT *, const char *, win::UINT *, char *,
                                                     win::DWORD, win::DWORD *) {
    NotImplemented();
    return win::FALSE;
}

win::BOOL MIRTEL_STDCALL SetupGetSourceInfoA(win::HINF, win::UINT, win::UINT, char *, win::DWORD, win::DWORD *) {
    NotImplemented();
    return win::FALSE;
}

}  // namespace sim::setupapi::exports
