// plenvue-cli: the command registry, option parsing, dispatch and the convert command.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

#include "base/Utf.h"
#include "image/PngWriter.h"
#include "image/modIntelJPEGLibrary.h"
#include "base/ErrorObject.h"
#include "base/MessageTable.h"
#include "tools/plenvue-cli/Cli.h"

namespace plenvue::cli {

namespace {
std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}
}  // namespace

Registrar::Registrar(const Command& c) { Registry().push_back(c); }
const std::vector<Command>& Commands() { return Registry(); }

void StderrProgress::InitProgress(int32_t lMax) { std::fprintf(stderr, "InitProgress %d\n", lMax); }
void StderrProgress::Progress(int32_t lPosition) { std::fprintf(stderr, "Progress %d\n", lPosition); }
void StderrProgress::Complete(int32_t lTimeMs) { std::fprintf(stderr, "Complete %d ms\n", lTimeMs); }

int32_t ParseInt(const std::string& text, const char* what) {
    int32_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        throw UsageError{std::string(what) + " must be a whole number: " + text};
    return v;
}

bool Options::Has(const std::string& name) const {
    for (const auto& [n, v] : named)
        if (n == name) return true;
    return false;
}

std::string Options::Get(const std::string& name, const std::string& fallback) const {
    for (auto it = named.rbegin(); it != named.rend(); ++it)
        if (it->first == name) return it->second;
    return fallback;
}

Options ParseOptions(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                     const std::vector<std::string>& flags) {
    Options o;
    auto listed = [](const std::vector<std::string>& list, const std::string& n) {
        for (const auto& v : list)
            if (v == n) return true;
        return false;
    };
    auto takesValue = [&](const std::string& n) { return listed(valueOptions, n); };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            o.positional.insert(o.positional.end(), args.begin() + i + 1, args.end());
            break;
        }
        if (a.size() < 3 || a.compare(0, 2, "--") != 0) {
            o.positional.push_back(a);
            continue;
        }
        size_t eq = a.find('=');
        std::string name = a.substr(0, eq);
        if (!takesValue(name) && !listed(flags, name)) throw UsageError{"unknown option " + name};
        if (eq != std::string::npos) {
            if (!takesValue(name)) throw UsageError{"option " + name + " takes no value"};
            o.named.emplace_back(name, a.substr(eq + 1));
        } else if (takesValue(name)) {
            if (i + 1 >= args.size()) throw UsageError{"option " + name + " needs a value"};
            o.named.emplace_back(name, args[++i]);
        } else {
            o.named.emplace_back(name, "");
        }
    }
    return o;
}

namespace {

bool EndsWithNoCase(const std::string& s, const std::string& suffix) {
    if (s.size() < suffix.size()) return false;
    for (size_t i = 0; i < suffix.size(); ++i) {
        char c = s[s.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

int32_t ParseQuality(const std::string& text) {
    char* end = nullptr;
    long q = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || q < 1 || q > 100)
        throw UsageError{"--quality must be a whole number from 1 to 100, not '" + text + "'"};
    return static_cast<int32_t>(q);
}

int RunConvert(const std::vector<std::string>& args) {
    Options o = ParseOptions(args, {"--quality"}, {});
    if (o.positional.size() != 2) throw UsageError{"convert needs IN and OUT"};
    const std::string& in = o.positional[0];
    const std::string& out = o.positional[1];
    const bool jpeg = EndsWithNoCase(out, ".jpg") || EndsWithNoCase(out, ".jpeg");
    if (o.Has("--quality") && !jpeg) throw UsageError{"--quality applies only to JPEG output"};
    const int32_t quality = ParseQuality(o.Get("--quality", "90"));

    clsDIBSection dib;
    std::string error;
    if (!LoadImageFile(in, dib, error)) {
        std::fprintf(stderr, "plenvue-cli: %s\n", error.c_str());
        return kExitFailure;
    }
    if (jpeg) {
        SaveJPEG(dib, out, quality);  // failures raise; main reports them
    } else if (EndsWithNoCase(out, ".png")) {
        SavePNG(dib, out);
    } else if (!SaveBmpFile(dib, out, error)) {
        std::fprintf(stderr, "plenvue-cli: %s\n", error.c_str());
        return kExitFailure;
    }
    return kExitOk;
}

const Registrar convert({"convert", "IN OUT [--quality N]", RunConvert});

void PrintUsage(std::FILE* to) {
    std::fprintf(to, "usage: plenvue-cli COMMAND ARGS...   (plenvue-cli --version prints the version)\ncommands:\n");
    for (const Command& c : Commands()) std::fprintf(to, "  %s %s\n", c.name, c.usage);
}

#ifdef _WIN32
// The narrow argv holds the arguments in the ANSI code page, which cannot carry every name; the
// wide command line can. Nothing when an argument is no valid text (it would name another file).
std::optional<std::vector<std::string>> ProgramArguments(int, char**) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return std::nullopt;
    std::vector<std::string> args;
    bool ok = true;
    for (int i = 0; i < count && ok; ++i) {
        std::wstring_view w(wide[i]);
        auto text = plenvue::Utf16ToUtf8(std::u16string(w.begin(), w.end()));
        if (text) args.push_back(std::move(*text));
        else ok = false;
    }
    LocalFree(wide);
    if (!ok) return std::nullopt;
    return args;
}
#else
std::optional<std::vector<std::string>> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}
#endif

}  // namespace
}  // namespace plenvue::cli

int main(int argc, char** argv) {
    using namespace plenvue::cli;
    const auto arguments = ProgramArguments(argc, argv);
    if (!arguments) {
        std::fprintf(stderr, "plenvue-cli: an argument is no valid text\n");
        return kExitUsage;
    }
    const std::vector<std::string>& args = *arguments;
    if (args.size() < 2) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    const std::string name = args[1];
    if (name == "--version") {
        std::printf("plenvue-cli %s\n", plenvue::kVersion);
        return kExitOk;
    }
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return kExitOk;
    }
    const Command* command = nullptr;
    for (const Command& c : Commands())
        if (name == c.name) command = &c;
    if (!command) {
        std::fprintf(stderr, "plenvue-cli: unknown command '%s'\n", name.c_str());
        PrintUsage(stderr);
        return kExitUsage;
    }
    try {
        return command->run(std::vector<std::string>(args.begin() + 2, args.end()));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "plenvue-cli: %s\nusage: plenvue-cli %s %s\n", e.message.c_str(), command->name,
                     command->usage);
        return kExitUsage;
    } catch (const plenvue::ErrorObject& e) {
        std::fprintf(stderr, "plenvue-cli: %s: error %d: %s\n", name.c_str(), static_cast<int>(e.Number),
                     e.Description.c_str());
        return kExitFailure;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "plenvue-cli: %s: %s\n", name.c_str(), e.what());
        return kExitFailure;
    }
}
