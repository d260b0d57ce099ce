// advapi32's process token and security identifiers. The token's groups
// come from machine.ini [System] Administrator: 0 no Administrators group,
// 1 a member, 2 a member for deny only.
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

#include "platform/sim/machine/handles.h"
#include "platform/sim/machine/machine.h"
#include "platform/system.h"

namespace win {
namespace {

constexpr DWORD SE_GROUP_MANDATORY = 0x1;
constexpr DWORD SE_GROUP_ENABLED_BY_DEFAULT = 0x2;
constexpr DWORD SE_GROUP_OWNER = 0x8;
constexpr DWORD kOrdinaryGroup = SE_GROUP_MANDATORY | SE_GROUP_ENABLED_BY_DEFAULT | SE_GROUP_ENABLED;
constexpr std::size_t kMaxSubAuthorities = 8;

HANDLE CurrentProcessPseudoHandle() { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)); }

// A SID as Windows lays it out: revision 1, the sub-authority count, the
// six authority bytes, then the sub-authorities.
std::vector<BYTE> MakeSid(BYTE authority, std::initializer_list<DWORD> subAuthorities) {
    std::vector<BYTE> sid{1, static_cast<BYTE>(subAuthorities.size()), 0, 0, 0, 0, 0, authority};
    for (DWORD sub : subAuthorities) {
        const BYTE *bytes = reinterpret_cast<const BYTE *>(&sub);
        sid.insert(sid.end(), bytes, bytes + sizeof sub);
    }
    return sid;
}

std::size_t SidLength(const BYTE *sid) { return 8 + 4 * static_cast<std::size_t>(sid[1]); }

struct Group {
    std::vector<BYTE> sid;
    DWORD attributes;
};

class Token : public sim::HandleObject {
public:
    explicit Token(long administrator) {
        groups.push_back({MakeSid(1, {0}), kOrdinaryGroup});  // Everyone
        if (administrator == 1)
            groups.push_back({MakeSid(5, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS}),
                              kOrdinaryGroup | SE_GROUP_OWNER});
        else if (administrator == 2)
            groups.push_back({MakeSid(5, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS}),
                              SE_GROUP_USE_FOR_DENY_ONLY});
        groups.push_back({MakeSid(5, {SECURITY_BUILTIN_DOMAIN_RID, 545}), kOrdinaryGroup});  // Users
        groups.push_back({MakeSid(5, {4}), kOrdinaryGroup});                                // INTERACTIVE
        groups.push_back({MakeSid(5, {11}), kOrdinaryGroup});  // Authenticated Users
    }
    std::vector<Group> groups;
};

// TOKEN_GROUPS as Windows returns it: the count, the array, then the SIDs
// the array points at, all in the caller's one block.
DWORD GroupsLength(const Token &token) {
    std::size_t length = offsetof(TOKEN_GROUPS, Groups) + token.groups.size() * sizeof(SID_AND_ATTRIBUTES);
    for (const Group &group : token.groups) length += group.sid.size();
    return static_cast<DWORD>(length);
}

void FillGroups(const Token &token, BYTE *block) {
    auto *groups = reinterpret_cast<TOKEN_GROUPS *>(block);
    groups->GroupCount = static_cast<DWORD>(token.groups.size());
    BYTE *sids = block + offsetof(TOKEN_GROUPS, Groups) + token.groups.size() * sizeof(SID_AND_ATTRIBUTES);
    for (std::size_t i = 0; i < token.groups.size(); ++i) {
        std::memcpy(sids, token.groups[i].sid.data(), token.groups[i].sid.size());
        groups->Groups[i].Sid = sids;
        groups->Groups[i].Attributes = token.groups[i].attributes;
        sids += token.groups[i].sid.size();
    }
}

}  // namespace

HANDLE GetCurrentProcess() { return CurrentProcessPseudoHandle(); }

BOOL OpenProcessToken(HANDLE process, DWORD, HANDLE *token) {
    if (token == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (process != CurrentProcessPseudoHandle()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *token = sim::NewHandle(
        std::make_shared<Token>(sim::Machine::Get().Number("System", "Administrator", 1)));
    return TRUE;
}

BOOL GetTokenInformation(HANDLE tokenHandle, int informationClass, void *buffer, DWORD length,
                         DWORD *returnLength) {
    const auto token = sim::LookupHandle<Token>(tokenHandle);
    if (!token) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (informationClass != TokenGroups || returnLength == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *returnLength = GroupsLength(*token);
    if (buffer == nullptr || length < *returnLength) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    FillGroups(*token, static_cast<BYTE *>(buffer));
    return TRUE;
}

BOOL AllocateAndInitializeSid(const SID_IDENTIFIER_AUTHORITY *authority, BYTE subAuthorityCount,
                              DWORD sub0, DWORD sub1, DWORD sub2, DWORD sub3, DWORD sub4,
                              DWORD sub5, DWORD sub6, DWORD sub7, PSID *sid) {
    if (authority == nullptr || sid == nullptr || subAuthorityCount > kMaxSubAuthorities) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD subs[kMaxSubAuthorities] = {sub0, sub1, sub2, sub3, sub4, sub5, sub6, sub7};
    auto *bytes = static_cast<BYTE *>(std::malloc(8 + 4 * subAuthorityCount));
    if (bytes == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    bytes[0] = 1;
    bytes[1] = subAuthorityCount;
    std::memcpy(bytes + 2, authority->Value, 6);
    std::memcpy(bytes + 8, subs, 4 * subAuthorityCount);
    *sid = bytes;
    return TRUE;
}

BOOL EqualSid(PSID a, PSID b) {
    SetLastError(NO_ERROR);
    if (a == nullptr || b == nullptr) return FALSE;
    const auto *x = static_cast<const BYTE *>(a);
    const auto *y = static_cast<const BYTE *>(b);
    return SidLength(x) == SidLength(y) && std::memcmp(x, y, SidLength(x)) == 0 ? TRUE : FALSE;
}

void *FreeSid(PSID sid) {
    std::free(sid);
    return nullptr;
}

}  // namespace win
