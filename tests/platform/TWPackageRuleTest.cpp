#include "platform/TWPackageRule.h"

#include "platform/TWFileDescriptor.h"
#include "support/TWFixtureTree.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(TWPackageRuleTest, ExtensionTable) {
    struct Case {
        const char* extension;
        bool package;
    };
    const Case cases[] = {
        {"app", true},
        {"APP", true},
        {"App", true},
        {"prefPane", true},
        {"prefpane", true},
        {"dsym", true},
        {"dSYM", true},
        {"vst3", true},
        {"photoslibrary", true},
        {"sparsebundle", true},
        {"key", true},
        {"numbers", true},
        {"", false},
        {"ap", false},
        {"apps", false},
        {"app ", false},
        {".app", false},
        {"txt", false},
        {"dmg", false},
        {"zip", false},
        {"vst4", false},
        // Case folding is ASCII only: a byte above 0x7F never matches a letter.
        {"\xc1pp", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension);
        EXPECT_EQ(TWPackageRule::hasPackageExtension(c.extension), c.package);
    }
}

TEST(TWPackageRuleTest, FolderHoldingInfoPlistIsAPackage) {
    TWFixtureTree tree;
    tree.file("Plain Bundle/Contents/Info.plist", "<plist/>");
    tree.folder("Empty Contents/Contents");
    tree.file("Wrong Place/Info.plist");
    tree.folder("Thing.app");
    tree.file("Linked/Contents/Other.plist");
    tree.symlink("Linked/Contents/Info.plist", "Other.plist");

    TWFileDescriptor root(::open(tree.root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(root);
    struct Case {
        const char* name;
        const char* extension;
        bool package;
    };
    const Case cases[] = {
        {"Plain Bundle", "", true}, {"Empty Contents", "", false}, {"Wrong Place", "", false},
        {"Thing.app", "app", true}, {"Linked", "", true},          {"Missing", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TWPackageRule::isFilePackage({root.get(), c.name}, c.extension), c.package);
        EXPECT_EQ(
            TWPackageRule::isFilePackage(TWItemLocation::forPath(tree.path(c.name)), c.extension),
            c.package);
    }
}

} // namespace
