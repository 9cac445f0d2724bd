#include "shell/ClipboardChange.h"

#include <gtest/gtest.h>

using namespace plenvue;

// One picture copied in another program is reported twice by some platforms: it is taken once.
TEST(ClipboardChanges, EachChangeIsTakenOnce) {
    ClipboardChanges c;
    EXPECT_TRUE(c.Take(7, false));
    EXPECT_FALSE(c.Take(7, false));
    EXPECT_TRUE(c.Take(8, false));
    EXPECT_FALSE(c.Take(8, false));
}

TEST(ClipboardChanges, OwnPicturesAreNeverTaken) {
    ClipboardChanges c;
    c.Own(20);
    EXPECT_FALSE(c.Take(20, false));  // the report of our own put, before the owner is known
    EXPECT_FALSE(c.Take(21, true));   // a later report while we still own the clipboard
    EXPECT_TRUE(c.Take(22, false));   // then another program copies
}

TEST(ClipboardChanges, FirstReportAtStartIsTaken) {
    // Joining the viewer chain reports what is already there; sequence 0 is as good as any.
    ClipboardChanges c;
    EXPECT_TRUE(c.Take(0, false));
    EXPECT_FALSE(c.Take(0, false));
}

TEST(ClipboardChanges, OwnNumberAllowsOneStepForClosingAndNoMore) {
    EXPECT_EQ(SequenceOfOwnChange(14, 14), 14u);
    EXPECT_EQ(SequenceOfOwnChange(14, 15), 15u);  // closing made the other forms
    EXPECT_EQ(SequenceOfOwnChange(14, 17), 14u);  // another program emptied and filled it
    EXPECT_EQ(SequenceOfOwnChange(0xFFFFFFFFu, 0), 0u);
    EXPECT_EQ(SequenceOfOwnChange(0xFFFFFFFFu, 2), 0xFFFFFFFFu);
    // The change after ours is then taken once.
    ClipboardChanges changes;
    changes.Own(SequenceOfOwnChange(14, 17));
    EXPECT_TRUE(changes.Take(17, false));
    EXPECT_FALSE(changes.Take(17, false));
}
