// plenvue-cli: the command registry, option parsing, dispatch and picture input and output.
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include "image/clsDIBSectionSave.h"
#include "shell/ErrorObject.h"
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

Options ParseOptions(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions) {
    Options o;
    auto takesValue = [&valueOptions](const std::string& n) {
        for (const auto& v : valueOptions)
            if (v == n) return true;
        return false;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() < 3 || a.compare(0, 2, "--") != 0) {
            o.positional.push_back(a);
            continue;
        }
        if (takesValue(a)) {
            if (i + 1 >= args.size()) throw UsageError{"option " + a + " needs a value"};
            o.named.emplace_back(a, args[++i]);
        } else {
            o.named.emplace_back(a, "");
        }
    }
    return o;
}

bool LoadImageFile(const std::string& path, clsDIBSection& dib, std::string& error) {
    int w = 0, h = 0, channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> pixels(stbi_load(path.c_str(), &w, &h, &channels, 3), stbi_image_free);
    if (!pixels) {
        error = path + ": " + (stbi_failure_reason() ? stbi_failure_reason() : "cannot read");
        return false;
    }
    if (!dib.Create(w, h)) {
        error = path + ": cannot make the picture";
        return false;
    }
    const int32_t stride = dib.BytesPerScanLine();
    for (int y = 0; y < h; ++y) {  // top-down file rows into bottom-up memory rows
        const stbi_uc* in = pixels.get() + static_cast<size_t>(y) * static_cast<size_t>(w) * 3;
        uint8_t* out = dib.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
    }
    return true;
}

bool SaveBmpFile(clsDIBSection& dib, const std::string& path, std::string& error) {
    try {
        std::unique_ptr<clsPalette> none;
        if (clsDIBSectionSave().Save(path, dib, none, eOutput24Bit, eReductionNone)) return true;
        error = "cannot write " + path;
    } catch (const ErrorObject& e) {
        error = "cannot write " + path + ": " + e.Description;
    }
    return false;
}

namespace {
void PrintUsage(std::FILE* to) {
    std::fprintf(to, "usage: plenvue-cli COMMAND ARGS...\ncommands:\n");
    for (const Command& c : Commands()) std::fprintf(to, "  %s %s\n", c.name, c.usage);
}
}  // namespace
}  // namespace plenvue::cli

int main(int argc, char** argv) {
    using namespace plenvue::cli;
    if (argc < 2) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    const std::string name = argv[1];
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
        return command->run(std::vector<std::string>(argv + 2, argv + argc));
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
