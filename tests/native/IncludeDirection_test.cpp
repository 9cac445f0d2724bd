// The folders depend in one direction. This file is the one place that says which way: a folder
// may include its own headers and those of the folders before it in kLayers, and nothing else
// except the ties listed in kAllowedTies. It also refuses file-level include cycles anywhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Lowest first. base/win is the Win32 half of base: it may use base, base may not use it.
const std::vector<std::string> kLayers = {"base",    "base/win", "image",    "controls", "effects",
                                          "capture", "settings", "markup",   "shell"};

// The bitmap writer maps pictures onto the palettes of the effects while it writes them.
const std::set<std::pair<std::string, std::string>> kAllowedTies = {
    {"image/clsDIBSectionSave.h", "effects/clsPalette.h"},
    {"image/clsDIBSectionSave.cpp", "effects/clsColourReduceDIB.h"},
};

// Folders above every layer: they may include anything, and nothing may include them.
const std::vector<std::string> kTopFolders = {"ravelin", "tools", "tests", "bench", "fuzz"};

struct Include {
    std::string target;
    int line;
};

std::vector<Include> QuotedIncludes(const fs::path& file) {
    static const std::regex kInclude(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::vector<Include> out;
    std::ifstream in(file);
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        ++line;
        std::smatch m;
        if (std::regex_search(text, m, kInclude)) out.push_back({m[1].str(), line});
    }
    return out;
}

// The layer of a repository-relative path: the longest layer folder it lies directly in.
int LayerOf(const std::string& path) {
    std::string folder = fs::path(path).parent_path().generic_string();
    for (int i = 0; i < static_cast<int>(kLayers.size()); ++i)
        if (folder == kLayers[i]) return i;
    return -1;
}

bool InTopFolder(const std::string& path) {
    for (const std::string& top : kTopFolders)
        if (path.rfind(top + "/", 0) == 0) return true;
    return false;
}

std::vector<std::string> SourceFiles(const fs::path& root) {
    std::vector<std::string> files;
    for (const std::string& dir : [] {
             std::vector<std::string> all(kLayers.begin(), kLayers.end());
             all.insert(all.end(), kTopFolders.begin(), kTopFolders.end());
             return all;
         }()) {
        if (!fs::exists(root / dir)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / dir)) {
            if (!entry.is_regular_file()) continue;
            std::string ext = entry.path().extension().string();
            if (ext != ".h" && ext != ".cpp" && ext != ".c") continue;
            files.push_back(fs::relative(entry.path(), root).generic_string());
        }
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

// Every include against the layer order, as "file:line includes target".
std::vector<std::string> UpwardIncludes(const fs::path& root) {
    std::vector<std::string> faults;
    for (const std::string& file : SourceFiles(root)) {
        int from = LayerOf(file);
        bool top = InTopFolder(file);
        for (const Include& inc : QuotedIncludes(root / file)) {
            if (InTopFolder(inc.target) && !top && inc.target.rfind("tests/", 0) != 0) {
                faults.push_back(file + ":" + std::to_string(inc.line) + " includes " + inc.target);
                continue;
            }
            int to = LayerOf(inc.target);
            if (from < 0 || to < 0 || to <= from) continue;
            if (kAllowedTies.count({file, inc.target})) continue;
            faults.push_back(file + ":" + std::to_string(inc.line) + " includes " + inc.target);
        }
    }
    return faults;
}

// One include cycle between files, as a chain "a -> b -> a"; empty when there is none.
std::string FindCycle(const fs::path& root) {
    std::map<std::string, std::vector<std::string>> edges;
    for (const std::string& file : SourceFiles(root))
        for (const Include& inc : QuotedIncludes(root / file))
            if (fs::exists(root / inc.target)) edges[file].push_back(inc.target);
    // Headers are the only files included; a cycle through a .cpp needs a header including it.
    std::map<std::string, int> state;  // 1 on the path, 2 done
    std::vector<std::string> path;
    std::string found;
    std::function<bool(const std::string&)> visit = [&](const std::string& f) {
        state[f] = 1;
        path.push_back(f);
        for (const std::string& t : edges[f]) {
            if (state[t] == 1) {
                auto it = std::find(path.begin(), path.end(), t);
                for (; it != path.end(); ++it) found += *it + " -> ";
                found += t;
                return true;
            }
            if (state[t] == 0 && visit(t)) return true;
        }
        path.pop_back();
        state[f] = 2;
        return false;
    };
    for (const auto& [file, _] : edges)
        if (state[file] == 0 && visit(file)) break;
    return found;
}

fs::path SourceRoot() { return fs::path(PLENVUE_SOURCE_DIR); }

std::string Join(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines) s += "  " + l + "\n";
    return s;
}

}  // namespace

TEST(IncludeDirection, NoFolderIncludesAFolderAboveIt) {
    ASSERT_TRUE(fs::exists(SourceRoot() / "base")) << "source tree not found at " << SourceRoot();
    std::vector<std::string> faults = UpwardIncludes(SourceRoot());
    EXPECT_TRUE(faults.empty()) << "includes against the order " << "base, base/win, image, controls, "
                                << "effects, capture, settings, markup, shell:\n"
                                << Join(faults);
}

TEST(IncludeDirection, NoFileIncludesItselfThroughOthers) {
    std::string cycle = FindCycle(SourceRoot());
    EXPECT_TRUE(cycle.empty()) << "include cycle: " << cycle;
}

TEST(IncludeDirection, AnUpwardIncludeInAScratchTreeIsFound) {
    // Guards the scanner itself: a tree with one include from image up to shell must be refused.
    fs::path root = fs::temp_directory_path() / ("plenvue-includes-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(root);
    fs::create_directories(root / "image");
    fs::create_directories(root / "shell");
    fs::create_directories(root / "base");
    std::ofstream(root / "shell" / "A.h") << "#pragma once\n#include \"image/B.h\"\n";
    std::ofstream(root / "image" / "B.h") << "#pragma once\n#include <vector>\n#include \"shell/A.h\"\n";
    std::vector<std::string> faults = UpwardIncludes(root);
    std::string cycle = FindCycle(root);
    fs::remove_all(root);
    ASSERT_EQ(faults.size(), 1u) << Join(faults);
    EXPECT_EQ(faults[0], "image/B.h:3 includes shell/A.h");
    EXPECT_FALSE(cycle.empty());
}
