#include "alarm/Requester.h"

#include <aclapi.h>
#include <sddl.h>

#include <memory>

#include "common/Handles.h"

namespace {

struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};

WString SidText(PSID sid) {
    wchar_t* text = nullptr;
    if (sid == nullptr || !ConvertSidToStringSidW(sid, &text)) return WString();
    std::unique_ptr<wchar_t, LocalFreer> owned(text);
    return WString(text);
}

// The level is a label's last subauthority; one without any ranks lowest.
DWORD LevelOf(PSID label) {
    UCHAR count = *GetSidSubAuthorityCount(label);
    return count > 0 ? *GetSidSubAuthority(label, count - 1) : SECURITY_MANDATORY_UNTRUSTED_RID;
}

// Marks an own owner that could not be learnt: no block has it.
constexpr wchar_t kUnknownOwner[] = L"?";

}  // namespace

Identity OwnIdentity() {
    Identity own = {kUnknownOwner, SECURITY_MANDATORY_SYSTEM_RID};
    HANDLE rawToken = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken)) {
        UniqueHandle token(rawToken);
        union {
            TOKEN_MANDATORY_LABEL label;
            BYTE room[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
        } level;
        DWORD size = 0;
        if (GetTokenInformation(token.get(), TokenIntegrityLevel, &level, sizeof(level), &size)) {
            own.integrity = LevelOf(level.label.Label.Sid);
        }
    }
    // Learnt from a block of ZAV's own rather than from the token, so that a
    // system that records no owner (Wine) compares like with like.
    WString name = L"ZAV_OWNER_" + WString(static_cast<int>(GetCurrentProcessId()));
    UniqueHandle probe(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1, name.text()));
    Identity made;
    if (probe && BlockIdentity(probe.get(), &made)) own.owner = made.owner;
    return own;
}

bool BlockIdentity(HANDLE mapping, Identity* identity) {
    PSID owner = nullptr;
    PACL labels = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(mapping, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION, &owner,
                        nullptr, nullptr, &labels, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    std::unique_ptr<void, LocalFreer> owned(descriptor);
    identity->owner = SidText(owner);
    identity->integrity = SECURITY_MANDATORY_MEDIUM_RID;
    for (WORD i = 0; labels != nullptr && i < labels->AceCount; ++i) {
        ACE_HEADER* ace = nullptr;
        if (GetAce(labels, i, reinterpret_cast<void**>(&ace)) && ace->AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE) {
            identity->integrity = LevelOf(&reinterpret_cast<SYSTEM_MANDATORY_LABEL_ACE*>(ace)->SidStart);
        }
    }
    return true;
}

bool MayTestRun(const Identity& zav, const Identity& block) {
    if (block.integrity >= zav.integrity) return true;
    return block.owner == zav.owner && block.integrity >= SECURITY_MANDATORY_MEDIUM_RID;
}
