// The setup API's types and entry-point signatures. The library itself is
// loaded at run time by name ("SetupApi.DLL"): the system's on Windows, the
// simulated machine's built-in INF engine on the native build.
#pragma once

#include "platform/types.h"

namespace win {

typedef void *HINF;

struct INFCONTEXT {
    void *Inf;
    void *CurrentInf;
    UINT Section;
    UINT Line;
};

struct SP_INF_INFORMATION {
    DWORD InfStyle;
    DWORD InfCount;
    BYTE VersionData[1];
};

constexpr DWORD INF_STYLE_NONE = 0x00000000;
constexpr DWORD INF_STYLE_OLDNT = 0x00000001;
constexpr DWORD INF_STYLE_WIN4 = 0x00000002;
constexpr DWORD INFINFO_INF_SPEC_IS_HINF = 1;
constexpr DWORD INFINFO_INF_NAME_IS_ABSOLUTE = 2;
constexpr DWORD INFINFO_DEFAULT_SEARCH = 3;

constexpr DWORD ERROR_EXPECTED_SECTION_NAME = 0xE0000000;
constexpr DWORD ERROR_BAD_SECTION_NAME_LINE = 0xE0000001;
constexpr DWORD ERROR_SECTION_NAME_TOO_LONG = 0xE0000002;
constexpr DWORD ERROR_GENERAL_SYNTAX = 0xE0000003;
constexpr DWORD ERROR_WRONG_INF_STYLE = 0xE0000100;
constexpr DWORD ERROR_SECTION_NOT_FOUND = 0xE0000101;
constexpr DWORD ERROR_LINE_NOT_FOUND = 0xE0000102;

typedef HINF(MIRTEL_STDCALL *PFN_SetupOpenInfFileA)(const char *fileName, const char *infClass,
                                                     DWORD infStyle, UINT *errorLine);
typedef void(MIRTEL_STDCALL *PFN_SetupCloseInfFile)(HINF inf);
typedef BOOL(MIRTEL_STDCALL *PFN_SetupGetInfInformationA)(const void *infSpec, DWORD searchControl,
                                                          SP_INF_INFORMATION *buffer,
                                                          DWORD bufferSize, DWORD *requiredSize);
typedef BOOL(MIRTEL_STDCALL *PFN_SetupOpenAppendInfFileA)(const char *fileName, HINF inf,
                                                          UINT *errorLine);
typedef BOOL(MIRTEL_STDCALL *PFN_SetupGetLineTextA)(INFCONTEXT *context, HINF inf,
                                                    const char *section, const char *key,
                                                    char *buffer, DWORD bufferSize,
                                                    DWORD *requiredSize);
typedef BOOL(MIRTEL_STDCALL *PFN_SetupFindFirstLineA)(HINF inf, const char *section,
                                                      const char *key, INFCONTEXT *context);
typedef BOOL(MIRTEL_STDCALL *PFN_SetupFindNextLine)(const INFCONTEXT *contextIn,
                                                    INFCONTEXT *contextOut);
typedef BOOL(MIRTEL_STDCALL *PFN_SetupFindNextMatchLineA)(const INFCONTEXT *contextIn,
                                                          const char *key,
                                                          INFCONTEXT *contextOut);
typedef BOOL(MIRTEL_STDCALL *PFN_SetupGetStringFieldA)(INFCONTEXT *context, DWORD fieldIndex,
                                                       char *buffer, DWORD bufferSize,
                                                       DWORD *requiredSize);
typedef DWORD(MIRTEL_STDCALL *PFN_SetupGetFieldCount)(INFCONTEXT *context);
typedef LONG(MIRTEL_STDCALL *PFN_SetupGetLineCountA)(HINF inf, const char *section);
typedef BOOL(MIRTEL_STDCALL *PFN_SetupGetLineByIndexA)(HINF inf, const char *section, DWORD index,
                                                       INFCONTEXT *context);
typedef BOOL(MIRTEL_STDCALL *PFN_SetupEnumInfSectionsA)(HINF inf, UINT index, char *buffer,
                                                        DWORD size, DWORD *requiredSize);

}  // namespace win
