// Temporary stand-in for the plenvue-cli registry and dispatch, so that the effect commands build
// and run before the shared command-line front end lands; the shared version replaces this file.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

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
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() < 3 || a.compare(0, 2, "--") != 0) {
            o.positional.push_back(a);
            continue;
        }
        bool takesValue = false;
        for (const auto& v : valueOptions) takesValue = takesValue || v == a;
        if (takesValue) {
            if (i + 1 >= args.size()) throw UsageError{"option " + a + " needs a value"};
            o.named.emplace_back(a, args[++i]);
        } else {
            o.named.emplace_back(a, "");
        }
    }
    return o;
}

}  // namespace plenvue::cli

int main(int argc, char** argv) {
    using namespace plenvue::cli;
    if (argc < 2) {
        std::fprintf(stderr, "usage: plenvue-cli COMMAND ARGS\n");
        for (const Command& c : Commands()) std::fprintf(stderr, "  %s %s\n", c.name, c.usage);
        return kExitUsage;
    }
    const std::string name = argv[1];
    for (const Command& c : Commands()) {
        if (name != c.name) continue;
        try {
            return c.run(std::vector<std::string>(argv + 2, argv + argc));
        } catch (const UsageError& e) {
            std::fprintf(stderr, "plenvue-cli %s: %s\nusage: plenvue-cli %s %s\n", c.name, e.message.c_str(), c.name, c.usage);
            return kExitUsage;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "plenvue-cli %s: %s\n", c.name, e.what());
            return kExitFailure;
        }
    }
    std::fprintf(stderr, "plenvue-cli: unknown command %s\n", name.c_str());
    return kExitUsage;
}
