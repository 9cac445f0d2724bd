// Which help to open: the compiled help file when one stands beside the program, else the
// program's own HTML pages in the package's language, English where a page is not translated.
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace plenvue {

// The pages under the program folder's "help\<language>\", one per topic, named "<topic>.html".
inline constexpr const char* kHelpContents = "index";
inline constexpr const char* kHelpFallbackLanguage = "en";
inline constexpr const char* kCompiledHelpFile = "Velmora.chm";

struct HelpTarget {
    bool Compiled = false;  // the compiled help file, opened in the help viewer at its contents
    std::string Path;       // empty when there is no help at all
};

// The package's language folder as a safe single folder name: letters, digits, "-" and "_",
// at most 16 of them; anything else (a path, "..", blank) gives "en".
std::string HelpLanguageFolder(std::string_view packageText);

// In order: the compiled file, the topic in the language, the topic in English, the contents in
// the language, the contents in English. `programFolder` ends in a backslash.
HelpTarget ChooseHelpTarget(std::string_view programFolder, std::string_view language, std::string_view topic,
                            const std::function<bool(const std::string&)>& fileExists);

}  // namespace plenvue
