#include "settings/LanguageTag.h"

namespace plenvue {

std::optional<int32_t> TagNumber(std::string_view part) {
    size_t b = part.find_first_not_of(' ');
    if (b == std::string_view::npos) return std::nullopt;
    size_t e = part.find_last_not_of(' ');
    part = part.substr(b, e - b + 1);
    bool negative = false;
    if (part[0] == '+' || part[0] == '-') {
        negative = part[0] == '-';
        part.remove_prefix(1);
    }
    if (part.empty()) return std::nullopt;
    int64_t value = 0;
    for (char c : part) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 0x80000000LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
    return static_cast<int32_t>(value);
}

LanguageTag ParseLanguageTag(std::string_view tag) {
    LanguageTag out;
    size_t bar = tag.find('|');
    if (bar == std::string_view::npos) {
        out.Caption = TagNumber(tag);
        return out;
    }
    out.Caption = TagNumber(tag.substr(0, bar));
    out.ToolTip = TagNumber(tag.substr(bar + 1));
    return out;
}

std::string ItemTextFromBuffer(const char* buffer, size_t size) { return std::string(ItemTextSpan(buffer, size)); }

std::optional<ChooserLines> ChooserFixedLines(int32_t showType) {
    const char* tip = "The language(s) in the list available:";
    if (showType == 0)
        return ChooserLines{"This maybe the first time you run Plenvue. Please choose the language package.", tip};
    if (showType == 1) return ChooserLines{"Plenvue cannot find the language package. please resetting.", tip};
    return std::nullopt;
}

size_t AppendPackages(PackageTable& table, const std::string& folder, const std::vector<std::string>& fileNames,
                      const PackageNameReader& readName) {
    size_t added = 0;
    size_t examined = 0;
    for (const std::string& file : fileNames) {
        if (table.Full() || examined >= kMaxPackageFiles) break;
        ++examined;
        std::string path = folder + file;
        std::string name = readName(path);
        if (name.empty()) continue;
        table.Names.push_back(name);
        table.Paths.push_back(path);
        ++added;
    }
    return added;
}

namespace {
bool IsBlank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }
}  // namespace

StartupPackage ChooseStartupPackage(const std::string& stored, const std::string& defaultPackage,
                                    const PackageNameReader& readName,
                                    const std::function<bool(const std::string&)>& fileExists) {
    bool haveStored = !IsBlank(stored);
    if (haveStored && !IsBlank(readName(stored))) return {stored, std::nullopt};
    if (fileExists(defaultPackage)) return {defaultPackage, std::nullopt};
    return {std::string(), haveStored ? 1 : 0};
}

}  // namespace plenvue
