#include "installer_models.h"

#include <cstdio>
#include <functional>

#include "inf_dumper.h"

namespace infdump {
namespace {

struct Text {
    bool ok = false;
    std::string value;
};

// The installer's read: a failed size query or a size below 2 is success
// with an empty text; otherwise a read of exactly that size, which fails
// when the call fails or reports a size below 2.
Text InstallerRead(const StringCall &call) {
    win::DWORD required = 0;
    if (!call(nullptr, 0, &required) || required < 2) return {true, std::string()};
    std::string buffer(required, '\0');
    win::DWORD reported = 0;
    if (!call(&buffer[0], required, &reported) || reported < 2) return {false, std::string()};
    buffer.resize(buffer.find('\0') == std::string::npos ? buffer.size() : buffer.find('\0'));
    return {true, buffer};
}

Text LineText(const SetupApiCalls &api, win::HINF inf, const char *section, const char *key) {
    return InstallerRead([&](char *buffer, win::DWORD size, win::DWORD *required) {
        return api.GetLineText(nullptr, inf, section, key, buffer, size, required);
    });
}

Text Key(const SetupApiCalls &api, win::INFCONTEXT *context) {
    return InstallerRead([&](char *buffer, win::DWORD size, win::DWORD *required) {
        return api.GetStringField(context, 0, buffer, size, required);
    });
}

// The provider's line in [Manufacturer] names the section; without one
// (or with an empty text) the key of the first line does.
Text ModelSection(const SetupApiCalls &api, win::HINF inf, const std::string &provider) {
    const Text named = LineText(api, inf, "Manufacturer", provider.c_str());
    if (!named.ok || !named.value.empty()) return named.ok ? named : Text();
    win::INFCONTEXT context = {};
    if (!api.FindFirstLine(inf, "Manufacturer", nullptr, &context)) return Text();
    const Text key = Key(api, &context);
    return key.ok && !key.value.empty() ? key : Text();
}

}  // namespace

InstallerModels ReadInstallerModels(const SetupApiCalls &api, win::HINF inf) {
    InstallerModels result;
    const Text provider = LineText(api, inf, "Version", "Provider");
    result.providerOk = provider.ok;
    result.provider = provider.value;
    if (!provider.ok) return result;
    const Text section = ModelSection(api, inf, provider.value);
    result.sectionOk = section.ok;
    result.section = section.value;
    if (!section.ok) return result;
    win::INFCONTEXT context = {};
    if (!api.FindFirstLine(inf, section.value.c_str(), nullptr, &context)) return result;
    for (;;) {
        const Text name = Key(api, &context);
        if (!name.ok) return result;
        if (name.value.empty()) break;  // a line without a key ends the list
        result.models.push_back(name.value);
        if (!api.FindNextLine(&context, &context)) break;
    }
    result.modelsOk = true;
    return result;
}

void PrintInstallerModels(const InstallerModels &models) {
    std::printf("project provider: %s %s\n", models.providerOk ? "ok" : "fail", Quoted(models.provider).c_str());
    std::printf("project modelsection: %s %s\n", models.sectionOk ? "ok" : "fail", Quoted(models.section).c_str());
    std::printf("project models: %s n=%zu\n", models.modelsOk ? "ok" : "fail", models.models.size());
    for (std::size_t i = 0; i < models.models.size(); ++i)
        std::printf("  model %zu %s\n", i, Quoted(models.models[i]).c_str());
}

}  // namespace infdump
