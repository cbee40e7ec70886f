#include "settings/OrderedDictionary.h"

#include <gtest/gtest.h>

namespace {

TEST(OrderedDictionary, KeepsOrderAndComparesKeysExactly)
{
    lumora::OrderedDictionary<int> d;
    EXPECT_TRUE(d.Add(QStringLiteral("b"), 1));
    EXPECT_TRUE(d.Add(QStringLiteral("a"), 2));
    EXPECT_TRUE(d.Add(QStringLiteral("B"), 3));
    EXPECT_FALSE(d.Add(QStringLiteral("a"), 9));
    EXPECT_EQ(d.Keys(), (QList<QString>{"b", "a", "B"}));
    EXPECT_EQ(*d.Item(QStringLiteral("a")), 2);
    EXPECT_FALSE(d.Item(QStringLiteral("A")).has_value());
    EXPECT_FALSE(d.Exists(QStringLiteral("a ")));
    d.SetItem(QStringLiteral("a"), 5);
    d.SetItem(QStringLiteral("c"), 6);
    EXPECT_EQ(d.Keys(), (QList<QString>{"b", "a", "B", "c"}));
    EXPECT_EQ(*d.Item(QStringLiteral("a")), 5);
    EXPECT_TRUE(d.Remove(QStringLiteral("b")));
    EXPECT_EQ(d.Count(), 3);
}

} // namespace
