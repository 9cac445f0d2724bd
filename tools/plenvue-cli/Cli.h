// plenvue-cli: commands register themselves here; main dispatches on the first argument.
// Exit codes, the same for every command: 0 done, 1 cancelled by the user, 2 usage error or
// malformed input text, 3 a failure to read, write or make the picture (one line on stderr).
#pragma once
#include <string>
#include <vector>

#include "effects/Progress.h"
#include "image/clsDIBSection.h"

namespace plenvue::cli {

constexpr int kExitOk = 0;
constexpr int kExitCancelled = 1;
constexpr int kExitUsage = 2;
constexpr int kExitFailure = 3;

// Thrown by a command for a usage error; main prints the message and the command's usage.
struct UsageError {
    std::string message;
};

struct Command {
    const char* name;
    const char* usage;  // argument synopsis after the command name
    int (*run)(const std::vector<std::string>& args);  // arguments after the command name
};

struct Registrar {
    explicit Registrar(const Command& c);
};
const std::vector<Command>& Commands();

// Reads IN into a fresh 24-bit DIB: PCX through the program's reader, anything else through
// stb_image. Returns false with a one-line reason.
bool LoadImageFile(const std::string& path, clsDIBSection& dib, std::string& error);
// Writes the DIB as a 24-bit BMP. Returns false with a one-line reason.
bool SaveBmpFile(clsDIBSection& dib, const std::string& path, std::string& error);

// Splits "--name value" options out of args; flags are options with no value.
struct Options {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> named;  // "--quality", "90"
    bool Has(const std::string& name) const;
    std::string Get(const std::string& name, const std::string& fallback) const;
};
// valueOptions: options that take a value (e.g. {"--quality"}); flags: options without one. Any
// other option is a usage error.
Options ParseOptions(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                     const std::vector<std::string>& flags);

// --progress: every event on stderr, one line each.
struct StderrProgress : IProgressListener {
    void InitProgress(int32_t lMax) override;
    void Progress(int32_t lPosition) override;
    void Complete(int32_t lTimeMs) override;
};

// A whole number argument; a usage error naming `what` otherwise.
int32_t ParseInt(const std::string& text, const char* what);

}  // namespace plenvue::cli
