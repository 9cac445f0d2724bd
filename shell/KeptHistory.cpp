#include "shell/KeptHistory.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "base/Utf.h"

namespace plenvue {

namespace {

constexpr std::string_view kReferenceHeader = "Plenvue history 1";
constexpr size_t kKeyLength = 16 + 1 + 8;
constexpr std::string_view kTemporarySuffix = ".tmp";

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

bool IsKey(std::string_view key) {
    if (key.size() != kKeyLength || key[16] != '-') return false;
    for (size_t i = 0; i < key.size(); ++i)
        if (i != 16 && !IsUpperHex(key[i])) return false;
    return true;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::string_view Extension(KeptPart part) { return part == KeptPart::Copy ? ".png" : ".ref"; }

}  // namespace

std::string KeptEntryKey(uint64_t stamp, uint32_t processId) {
    char text[kKeyLength + 1];
    std::snprintf(text, sizeof text, "%016llX-%08X", static_cast<unsigned long long>(stamp),
                  static_cast<unsigned>(processId));
    return text;
}

std::string KeptFileName(const std::string& key, KeptPart part) { return key + std::string(Extension(part)); }

std::optional<KeptFileNameParts> ParseKeptFileName(std::string_view name) {
    for (KeptPart part : {KeptPart::Copy, KeptPart::Reference}) {
        const std::string_view ext = Extension(part);
        if (name.size() != kKeyLength + ext.size() || !EndsWith(name, ext)) continue;
        const std::string_view key = name.substr(0, kKeyLength);
        if (!IsKey(key)) return std::nullopt;
        return KeptFileNameParts{std::string(key), part};
    }
    return std::nullopt;
}

bool IsKeptTemporaryName(std::string_view name) {
    if (!EndsWith(name, kTemporarySuffix)) return false;
    name.remove_suffix(kTemporarySuffix.size());
    return ParseKeptFileName(name).has_value();
}

std::string FormatKeptReference(const std::string& file) {
    return std::string(kReferenceHeader) + "\r\n" + file + "\r\n";
}

std::optional<std::string> ParseKeptReference(std::string_view text) {
    if (!EndsWith(text, "\r\n")) return std::nullopt;  // cut short
    text.remove_suffix(2);
    const size_t eol = text.find("\r\n");
    if (eol == std::string_view::npos || text.substr(0, eol) != kReferenceHeader) return std::nullopt;
    const std::string_view path = text.substr(eol + 2);
    if (path.empty() || path.size() > 32767 || !IsValidUtf8(path)) return std::nullopt;
    for (unsigned char c : path)
        if (c < 0x20 || c == 0x7F) return std::nullopt;
    return std::string(path);
}

void SortNewestFirst(std::vector<KeptEntry>& entries) {
    std::sort(entries.begin(), entries.end(), [](const KeptEntry& a, const KeptEntry& b) { return a.Key > b.Key; });
}

KeptLimits KeptLimitsFromText(std::string_view count, std::string_view megabytes) {
    auto number = [](std::string_view text, int32_t low, int32_t high, int32_t fallback) {
        int32_t v = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < low || v > high) return fallback;
        return v;
    };
    KeptLimits limits;
    limits.Count = number(count, kKeptCountMin, kKeptCountMax, limits.Count);
    const int32_t mb = number(megabytes, kKeptMegabytesMin, kKeptMegabytesMax, 500);
    limits.Bytes = static_cast<uint64_t>(mb) * 1024 * 1024;
    return limits;
}

KeptPruning PruneKept(std::vector<KeptEntry> entries, const KeptLimits& limits) {
    KeptPruning out;
    SortNewestFirst(entries);
    // Newest first: what fits is kept, the rest (the oldest) goes.
    // Once a copy does not fit, no older one is kept either: the oldest go first.
    int32_t copies = 0, files = 0;
    uint64_t bytes = 0;
    bool full = false;
    for (const KeptEntry& e : entries) {
        bool keepCopy = false;
        if (e.HasCopy) {
            keepCopy = !full && copies < limits.Count && e.CopyBytes <= limits.Bytes - bytes;
            full = !keepCopy;
            if (keepCopy) {
                ++copies;
                bytes += e.CopyBytes;
            } else if (!e.File.empty()) {
                out.Copies.push_back(e.Key);
            }
        }
        if (e.File.empty()) {
            if (!keepCopy) out.Entries.push_back(e.Key);
        } else if (!keepCopy) {
            if (files < limits.Count) ++files;
            else out.Entries.push_back(e.Key);
        }
    }
    return out;
}

}  // namespace plenvue
