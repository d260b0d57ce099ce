#include "message_guide.h"

#include <map>

#include "lang/message_keys.h"

namespace check {

std::string EnglishText(const std::string &key) {
    static const std::map<std::string, std::string> texts = {
        {msg::kAppTitle, "Install Printer Driver"},
        {msg::kErrCmdLine, "Invalid command line entry"},
        {msg::kErrOrSwitch, "Some of the following switches are not set"},
        {msg::kErrOSVersion, "Cannot run with this version of the OS"},
        {msg::kErrNoAdmin, "You must be logged on as an administrator to install the printer driver."},
        {msg::kErrRegStory, "Failed to update Registry"},
        {msg::kWrnRegStory, "Restart the Installer to reset the Registry"},
        {msg::kInfRecoverReg, "Registry reset"},
        {msg::kInfReboot, "Before running this program, you must restart Windows."},
        {msg::kErrAddWizard1, "Cannot continue installation because the Add Printer Wizard is open"},
        {msg::kErrAddWizard2, "Exit and restart the Add-Printer Wizard"},
        {msg::kErrReadInf, "Failed to read inf file"},
        {msg::kErrSourcePathNG, "No valid inf file"},
        {msg::kErrWizardRun, "Cannot start the Add Printer Wizard"},
        {"IDS_RESOURCE_FILE_NOT_FOUND", "Resource file not found."},
    };
    const auto found = texts.find(key);
    return found == texts.end() ? std::string() : found->second;
}

std::string KeyWithText(const std::string &key) {
    const std::string text = EnglishText(key);
    return text.empty() ? key : key + " (\"" + text + "\")";
}

}  // namespace check
