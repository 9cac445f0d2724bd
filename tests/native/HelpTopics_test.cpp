#include "shell/HelpTopics.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

using namespace plenvue;

namespace {

auto Files(std::set<std::string> files) {
    return [files = std::move(files)](const std::string& path) { return files.count(path) > 0; };
}

const std::string kFolder = "C:\\P\\";

}  // namespace

TEST(HelpTopics, CompiledHelpBesideTheProgramWins) {
    HelpTarget t = ChooseHelpTarget(kFolder, "de", "options",
                                    Files({"C:\\P\\Velmora.chm", "C:\\P\\help\\de\\options.html"}));
    EXPECT_TRUE(t.Compiled);
    EXPECT_EQ(t.Path, "C:\\P\\Velmora.chm");
}

TEST(HelpTopics, PageInThePackagesLanguageThenEnglishThenContents) {
    auto files = Files({"C:\\P\\help\\de\\options.html", "C:\\P\\help\\en\\options.html",
                        "C:\\P\\help\\en\\hotkeys.html", "C:\\P\\help\\en\\index.html"});
    EXPECT_EQ(ChooseHelpTarget(kFolder, "de", "options", files).Path, "C:\\P\\help\\de\\options.html");
    EXPECT_EQ(ChooseHelpTarget(kFolder, "de", "hotkeys", files).Path, "C:\\P\\help\\en\\hotkeys.html");
    EXPECT_EQ(ChooseHelpTarget(kFolder, "de", "missing", files).Path, "C:\\P\\help\\en\\index.html");
    EXPECT_FALSE(ChooseHelpTarget(kFolder, "de", "options", files).Compiled);
}

TEST(HelpTopics, NoHelpAtAllGivesNoPath) {
    EXPECT_TRUE(ChooseHelpTarget(kFolder, "en", "index", Files({})).Path.empty());
}

TEST(HelpTopics, PackageTextCannotLeadOutOfTheHelpFolder) {
    EXPECT_EQ(HelpLanguageFolder("de"), "de");
    EXPECT_EQ(HelpLanguageFolder("pt-BR"), "pt-BR");
    EXPECT_EQ(HelpLanguageFolder(".."), "en");
    EXPECT_EQ(HelpLanguageFolder("..\\..\\Windows"), "en");
    EXPECT_EQ(HelpLanguageFolder("C:\\x"), "en");
    EXPECT_EQ(HelpLanguageFolder(""), "en");
    EXPECT_EQ(HelpLanguageFolder(" de"), "en");
    auto files = Files({"C:\\P\\help\\en\\index.html", "C:\\x.html"});
    EXPECT_EQ(ChooseHelpTarget(kFolder, "en", "..\\..\\x", files).Path, "C:\\P\\help\\en\\index.html");
}

namespace {

std::set<std::string> PagesOf(const std::filesystem::path& folder) {
    std::set<std::string> pages;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().extension() == ".html") pages.insert(e.path().stem().string());
    return pages;
}

}  // namespace

TEST(HelpPages, EveryLanguageHasTheSamePagesAndEveryLinkArrives) {
    const std::filesystem::path help = std::filesystem::path(PLENVUE_SOURCE_DIR) / "help";
    std::set<std::string> english = PagesOf(help / "en");
    for (const char* page : {kHelpContents, "getting-started", "hotkeys", "file-menu", "view-menu", "tools-menu",
                             "image-menu", "help-menu", "editor", "edit-menu", "draw-menu", "options", "hotkey-dialog", "language-dialog",
                             "effects-dialog", "about"})
        EXPECT_TRUE(english.count(page)) << page;
    for (const auto& lang : std::filesystem::directory_iterator(help)) {
        EXPECT_EQ(PagesOf(lang.path()), english) << lang.path();
        for (const std::string& page : PagesOf(lang.path())) {
            std::ifstream in(lang.path() / (page + ".html"));
            std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_NE(text.find("<meta charset=\"utf-8\">"), std::string::npos) << page;
            static const std::regex kLink("href=\"([^\"#]+)\"");
            for (std::sregex_iterator m(text.begin(), text.end(), kLink), end; m != end; ++m)
                EXPECT_TRUE(std::filesystem::exists(lang.path() / (*m)[1].str())) << page << " -> " << (*m)[1];
        }
    }
}
