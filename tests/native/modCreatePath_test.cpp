#include "controls/modCreatePath.h"

#include <set>

#include <gtest/gtest.h>

using namespace plenvue;

namespace {
struct FakeDisk {
    FakeDisk() = default;
    explicit FakeDisk(std::set<std::string> existing) : folders(std::move(existing)) {}
    std::set<std::string> folders;
    std::vector<std::string> tested, made;
    bool failMaking = false;
    FolderExists Exists() {
        return [this](const std::string& p) {
            tested.push_back(p);
            return folders.count(p) > 0;
        };
    }
    MakeFolder Make() {
        return [this](const std::string& p) {
            made.push_back(p);
            if (failMaking) return false;
            folders.insert(p);
            return true;
        };
    }
};
}  // namespace

TEST(CreatePath, ExistingFolderIsLeftAlone) {
    FakeDisk d({"C:\\a"});
    EXPECT_TRUE(CreatePath("C:\\a", d.Exists(), d.Make()));
    EXPECT_TRUE(d.made.empty());
    EXPECT_EQ(d.tested, (std::vector<std::string>{"C:\\a"}));
}

TEST(CreatePath, CreatesFromFirstMissingFolderWithoutTestingFurther) {
    FakeDisk d({"C:\\a"});
    EXPECT_TRUE(CreatePath("C:\\a\\b\\c\\", d.Exists(), d.Make()));
    EXPECT_EQ(d.made, (std::vector<std::string>{"C:\\a\\b", "C:\\a\\b\\c"}));
    EXPECT_EQ(d.tested, (std::vector<std::string>{"C:\\a\\b\\c\\", "C:\\a", "C:\\a\\b"}));
}

TEST(CreatePath, FailedCreationStopsAtOnce) {
    FakeDisk d;
    d.failMaking = true;
    EXPECT_FALSE(CreatePath("C:\\a\\b", d.Exists(), d.Make()));
    EXPECT_EQ(d.made, (std::vector<std::string>{"C:\\a"}));
}

TEST(CreatePath, NetworkPathNeverCreatesServerOrShare) {
    FakeDisk d({"\\\\srv\\share"});
    EXPECT_TRUE(CreatePath("\\\\srv\\share\\x\\y", d.Exists(), d.Make()));
    EXPECT_EQ(d.made, (std::vector<std::string>{"\\\\srv\\share\\x", "\\\\srv\\share\\x\\y"}));

    FakeDisk missingShare;
    EXPECT_FALSE(CreatePath("\\\\srv\\gone\\x", missingShare.Exists(), missingShare.Make()));
    EXPECT_TRUE(missingShare.made.empty());
    EXPECT_FALSE(PlanCreatePath("\\\\srv", missingShare.Exists()).Ok);
}

TEST(CreatePath, EmptyRelativeAndBareRootPathsFail) {
    FakeDisk d;
    EXPECT_FALSE(CreatePath("", d.Exists(), d.Make()));
    EXPECT_FALSE(CreatePath("Shots", d.Exists(), d.Make()));  // would otherwise report success untouched
    EXPECT_FALSE(CreatePath("Shots\\a", d.Exists(), d.Make()));
    EXPECT_FALSE(CreatePath("Q:\\", d.Exists(), d.Make()));
    EXPECT_TRUE(d.made.empty());
    CreatePathPlan fromRoot = PlanCreatePath("\\Shots", d.Exists());
    EXPECT_TRUE(fromRoot.Ok);
    EXPECT_EQ(fromRoot.ToCreate, (std::vector<std::string>{"\\Shots"}));
}
