// The portable rules of language packages: control tags, the lookup's text limit, the chooser's
// fixed texts and its table of packages.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plenvue {

// A lookup reads at most this many characters of an item.
inline constexpr size_t kItemTextLimit = 254;
// Lookup failures are raised with this number (object-error base + 9999).
inline constexpr int32_t kLanguageErrorNumber = static_cast<int32_t>(0x8004270Fu);
inline constexpr const char* kLanguageUnknownError = "An unknown error has occurred!";

// The item numbers a form or control names in its tag: "1103", "1601|2019", "|2019".
struct LanguageTag {
    std::optional<int32_t> Caption;
    std::optional<int32_t> ToolTip;
};

// A tag part as a number: digits with an optional sign, blanks allowed around it; nullopt for
// anything else (empty text, letters, a value beyond 32 bits).
std::optional<int32_t> TagNumber(std::string_view part);
// Without "|" the whole tag is the caption part; with "|" the text before the first one is the
// caption part and the text after it the tool-tip part. Parts that are not numbers are absent.
LanguageTag ParseLanguageTag(std::string_view tag);

// The text a string lookup yields from its buffer: up to the first zero, at most kItemTextLimit
// units (bytes, or the UTF-16 units of the wide lookup).
template <class Unit>
std::basic_string_view<Unit> ItemTextSpan(const Unit* buffer, size_t size) {
    size_t n = 0;
    while (n < size && n < kItemTextLimit && buffer[n] != Unit{}) ++n;
    return {buffer, n};
}
std::string ItemTextFromBuffer(const char* buffer, size_t size);

// The chooser's title and tip lines for first start (0) and a missing package (1); nullopt for
// the Options dialog's mode (2), which takes its texts from the package.
struct ChooserLines {
    std::string Title;
    std::string Tip;
};
std::optional<ChooserLines> ChooserFixedLines(int32_t showType);
inline constexpr const char* kChooserExitQuestion = "This operation will EXIT Plenvue.\r\nAre you sure?";
inline constexpr const char* kChooserFolderPrompt = "Choose Language Package Folder";
inline constexpr const char* kTranslationMail = "mailto:translate@korvane.example";

// The chooser's list: names in the order found and the package path at the same position.
inline constexpr size_t kMaxPackageFiles = 100;
struct PackageTable {
    std::vector<std::string> Names;
    std::vector<std::string> Paths;
    bool Full() const { return Paths.size() >= kMaxPackageFiles; }
};

// Item 100 of a file, "" when it is no package.
using PackageNameReader = std::function<std::string(const std::string& path)>;

// Appends the packages among `fileNames` (directory order) of `folder` (ending in "\"): at most
// kMaxPackageFiles files are examined, a file counts when its item 100 is not empty, and filling
// stops when the table is full. Returns the number of entries added.
size_t AppendPackages(PackageTable& table, const std::string& folder, const std::vector<std::string>& fileNames,
                      const PackageNameReader& readName);

// Start-up's choice of package: the stored one when its item 100 is not blank, else the default
// package when its file exists, else the chooser (mode 0 when nothing was stored, 1 when the stored
// package failed). Nothing is written by this choice.
struct StartupPackage {
    std::string Path;             // set unless the chooser is needed
    std::optional<int32_t> ChooserType;
};
StartupPackage ChooseStartupPackage(const std::string& stored, const std::string& defaultPackage,
                                    const PackageNameReader& readName,
                                    const std::function<bool(const std::string&)>& fileExists);

}  // namespace plenvue
