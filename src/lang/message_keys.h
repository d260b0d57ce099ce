// The keys of the messages the program can show. Each message file's
// [String] section supplies their texts; the program names a message only
// through these constants, so kMessageKeys is every key it can look up.
#pragma once

#define MIRTEL_MESSAGE_KEYS(KEY)                  \
    KEY(kAppTitle, "AFX_IDS_APP_TITLE")           \
    KEY(kErrCmdLine, "IDS_ERR_CMDLINE")           \
    KEY(kErrOrSwitch, "IDS_ERR_OR_SWITCH")        \
    KEY(kErrOSVersion, "IDS_ERR_OSVERSION")       \
    KEY(kErrNoAdmin, "IDS_ERR_NO_ADMIN")          \
    KEY(kErrRegStory, "IDS_ERR_REGSTORY")         \
    KEY(kWrnRegStory, "IDS_WRN_REGSTORY")         \
    KEY(kInfRecoverReg, "IDS_INF_RECOVER_REG")    \
    KEY(kInfReboot, "IDS_INF_REBOOT")             \
    KEY(kErrAddWizard1, "IDS_ERR_ADDWIZARD1")     \
    KEY(kErrAddWizard2, "IDS_ERR_ADDWIZARD2")     \
    KEY(kErrReadInf, "IDS_ERR_READINF")           \
    KEY(kErrSourcePathNG, "IDS_ERR_SOURCEPATHNG") \
    KEY(kErrWizardRun, "IDS_ERR_WIZARD_RUN")

namespace msg {
#define MIRTEL_MESSAGE_KEY_CONSTANT(name, key) constexpr const char *name = key;
MIRTEL_MESSAGE_KEYS(MIRTEL_MESSAGE_KEY_CONSTANT)
#undef MIRTEL_MESSAGE_KEY_CONSTANT
}  // namespace msg

#define MIRTEL_MESSAGE_KEY_TEXT(name, key) key,
constexpr const char *const kMessageKeys[] = {MIRTEL_MESSAGE_KEYS(MIRTEL_MESSAGE_KEY_TEXT)};
#undef MIRTEL_MESSAGE_KEY_TEXT
