#include <gtest/gtest.h>

#include "cvcode2/CvList.h"

TEST(CvList, KeepsOrderAcrossInsertAndRemove) {
    int a = 1, b = 2, c = 3, d = 4;
    CvList list;
    list.Append(&a);
    list.Append(&c);
    list.InsertAfter(list.Head(), &b);
    list.InsertAfter(list.Tail(), &d);
    ASSERT_EQ(list.Count(), 4u);
    EXPECT_EQ(list.ItemAt(1), &b);
    EXPECT_EQ(list.Tail()->item, &d);
    list.RemoveAt(0);
    EXPECT_EQ(list.Head()->item, &b);
    EXPECT_EQ(list.Head()->previous, nullptr);
    list.Remove(list.Tail());
    EXPECT_EQ(list.Tail()->item, &c);
    EXPECT_EQ(list.Tail()->next, nullptr);
}
