// The entry points of the built-in "SetupApi.DLL", with the setup API's
// own names and stdcall signatures. The INF functions are the engine's;
// the file-queue, disk-prompt and source functions exist so that the
// module has every name the program looks up, and fail with
// ERROR_CALL_NOT_IMPLEMENTED when called.
#pragma once

#include <cstdint>

#include "platform/setupapi.h"

namespace sim::setupapi::exports {

typedef void *HSPFILEQ;
typedef win::UINT(MIRTEL_STDCALL *PSP_FILE_CALLBACK_A)(void *context, win::UINT notification,
                                                       std::uintptr_t param1, std::uintptr_t param2);

win::HINF MIRTEL_STDCALL SetupOpenInfFileA(const char *fileName, const char *infClass, win::DWORD infStyle,
                                           win::UINT *errorLine);
void MIRTEL_STDCALL SetupCloseInfFile(win::HINF inf);
win::BOOL MIRTEL_STDCALL SetupGetInfInformationA(const void *infNameOrHandle, win::DWORD searchControl,
                                                 win::SP_INF_INFORMATION *buffer, win::DWORD bufferSize,
                                                 win::DWORD *requiredSize);
win::BOOL MIRTEL_STDCALL SetupOpenAppendInfFileA(const char *fileName, win::HINF inf, win::UINT *errorLine);
win::BOOL MIRTEL_STDCALL SetupGetLineTextA(win::INFCONTEXT *context, win::HINF inf, const char *section,
                                           const char *key, char *buffer, win::DWORD bufferSize,
                                           win::DWORD *requiredSize);
win::BOOL MIRTEL_STDCALL SetupFindFirstLineA(win::HINF inf, const char *section, const char *key,
                                             win::INFCONTEXT *context);
win::BOOL MIRTEL_STDCALL SetupFindNextLine(const win::INFCONTEXT *contextIn, win::INFCONTEXT *contextOut);
win::BOOL MIRTEL_STDCALL SetupFindNextMatchLineA(const win::INFCONTEXT *contextIn, const char *key,
                                                 win::INFCONTEXT *contextOut);
win::BOOL MIRTEL_STDCALL SetupGetStringFieldA(win::INFCONTEXT *context, win::DWORD fieldIndex, char *buffer,
                                              win::DWORD bufferSize, win::DWORD *requiredSize);
win::DWORD MIRTEL_STDCALL SetupGetFieldCount(win::INFCONTEXT *context);
win::LONG MIRTEL_STDCALL SetupGetLineCountA(win::HINF inf, const char *section);
win::BOOL MIRTEL_STDCALL SetupGetLineByIndexA(win::HINF inf, const char *section, win::DWORD index,
                                              win::INFCONTEXT *context);
win::BOOL MIRTEL_STDCALL SetupEnumInfSectionsA(win::HINF inf, win::UINT index, char *buffer, win::DWORD size,
                                               win::DWORD *requiredSize);

win::UINT MIRTEL_STDCALL SetupPromptForDiskA(win::HWND parent, const char *dialogTitle, const char *diskName,
                                             const char *pathToSource, const char *fileSought,
                                             const char *tagFile, win::DWORD diskPromptStyle, char *pathBuffer,
                                             win::DWORD pathBufferSize, win::DWORD *pathRequiredSize);
win::BOOL MIRTEL_STDCALL SetupGetTargetPathA(win::HINF inf, win::INFCONTEXT *context, const char *section,
                                             char *buffer, win::DWORD bufferSize, win::DWORD *requiredSize);
win::BOOL MIRTEL_STDCALL SetupCopyOEMInfA(const char *sourceInfFileName, const char *oemSourceMediaLocation,
                                          win::DWORD oemSourceMediaType, win::DWORD copyStyle,
                                          char *destinationInfFileName, win::DWORD destinationInfFileNameSize,
                                          win::DWORD *requiredSize, char **destinationInfFileNameComponent);
HSPFILEQ MIRTEL_STDCALL SetupOpenFileQueue();
win::BOOL MIRTEL_STDCALL SetupCloseFileQueue(HSPFILEQ queue);
win::BOOL MIRTEL_STDCALL SetupQueueCopyA(HSPFILEQ queue, const char *sourceRootPath, const char *sourcePath,
                                         const char *sourceFileName, const char *sourceDescription,
                                         const char *sourceTagFile, const char *targetDirectory,
                                         const char *targetFileName, win::DWORD copyStyle);
win::BOOL MIRTEL_STDCALL SetupCommitFileQueueA(win::HWND owner, HSPFILEQ queue, PSP_FILE_CALLBACK_A handler,
                                               void *context);
win::UINT MIRTEL_STDCALL SetupDefaultQueueCallbackA(void *context, win::UINT notification, std::uintptr_t param1,
                                                    std::uintptr_t param2);
void *MIRTEL_STDCALL SetupInitDefaultQueueCallback(win::HWND owner);
void MIRTEL_STDCALL SetupTermDefaultQueueCallback(void *context);
win::BOOL MIRTEL_STDCALL SetupGetSourceFileLocationA(win::HINF inf, win::INFCONTEXT *context, const char *fileName,
                                                     win::UINT *sourceId, char *buffer, win::DWORD bufferSize,
                                                     win::DWORD *requiredSize);
win::BOOL MIRTEL_STDCALL SetupGetSourceInfoA(win::HINF inf, win::UINT sourceId, win::UINT infoDesired, char *buffer,
                                             win::DWORD bufferSize, win::DWORD *requiredSize);

}  // namespace sim::setupapi::exports
