#include "shell/HelpTopics.h"

namespace plenvue {

std::string HelpLanguageFolder(std::string_view text) {
    bool ok = !text.empty() && text.size() <= 16;
    for (char c : text)
        ok = ok && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_');
    return ok ? std::string(text) : std::string(kHelpFallbackLanguage);
}

HelpTarget ChooseHelpTarget(std::string_view programFolder, std::string_view language, std::string_view topic,
                            const std::function<bool(const std::string&)>& fileExists) {
    std::string folder(programFolder);
    if (fileExists(folder + kCompiledHelpFile)) return {true, folder + kCompiledHelpFile};
    std::string lang = HelpLanguageFolder(language);
    std::string page = HelpLanguageFolder(topic) == topic ? std::string(topic) : std::string(kHelpContents);
    auto path = [&](const std::string& l, const std::string& p) { return folder + "help\\" + l + "\\" + p + ".html"; };
    for (const std::string& candidate : {path(lang, page), path(kHelpFallbackLanguage, page), path(lang, kHelpContents),
                                         path(kHelpFallbackLanguage, kHelpContents)})
        if (fileExists(candidate)) return {false, candidate};
    return {};
}

}  // namespace plenvue
