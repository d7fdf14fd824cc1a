#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/Array.h"
#include "engine/core/HashTable.h"
#include "engine/core/Log.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Result.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

TEST(Array, GrowsByItsStep) {
    Array<int> items(1, 2);
    EXPECT_EQ(items.Capacity(), 1);
    EXPECT_EQ(items.Append(10), kOk);
    EXPECT_EQ(items.Capacity(), 1);
    EXPECT_EQ(items.Append(11), kOk);
    EXPECT_EQ(items.Capacity(), 3);
    EXPECT_EQ(items.Append(12), kOk);
    EXPECT_EQ(items.Append(13), kOk);
    EXPECT_EQ(items.Capacity(), 5);
    EXPECT_EQ(items.Count(), 4);
    items.RemoveAt(1);
    EXPECT_EQ((std::vector<int>(items.begin(), items.end())), (std::vector<int>{10, 12, 13}));
    EXPECT_EQ(items.IndexOf(13), 2);
    EXPECT_EQ(items.IndexOf(99), -1);
}

TEST(Array, NonPositiveStepActsAsOne) {
    Array<int> items(0, -5);
    EXPECT_EQ(items.GrowthStep(), 1);
    EXPECT_EQ(items.Append(1), kOk);
    EXPECT_EQ(items.Capacity(), 1);
}

TEST(ChainedTable, InsertFindRemoveAndVisitOrder) {
    NameTable<int> table;
    EXPECT_TRUE(table.Insert("alpha", 1));
    EXPECT_FALSE(table.Insert("alpha", 2));
    EXPECT_TRUE(table.Insert("beta", 3));
    ASSERT_NE(table.Find("alpha"), nullptr);
    EXPECT_EQ(*table.Find("alpha"), 1);
    EXPECT_EQ(table.Find("Alpha"), nullptr);
    EXPECT_EQ(table.Count(), 2);
    int visited = 0;
    table.ForEach([&](const String&, int& value) { visited += value; });
    EXPECT_EQ(visited, 4);
    EXPECT_TRUE(table.Remove("alpha"));
    EXPECT_FALSE(table.Remove("alpha"));
    EXPECT_EQ(table.Count(), 1);
}

TEST(ChainedTable, ManyKeysInOneBucketKeepInsertionOrder) {
    IdTable<int> table;
    // 32 buckets: keys that collide must still all be found.
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(table.Insert(i, i * 2));
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(*table.Find(i), i * 2);
    EXPECT_EQ(table.Find(1000), nullptr);
}

struct Tracked : RefCounted {
    explicit Tracked(bool* destroyed) : destroyed(destroyed) {}
    ~Tracked() override { *destroyed = true; }
    bool* destroyed;
};

TEST(RefCounted, LastReferenceDestroys) {
    bool destroyed = false;
    Ref<Tracked> first(new Tracked(&destroyed));
    EXPECT_EQ(first->RefCount(), 1);
    {
        Ref<Tracked> second = first;
        EXPECT_EQ(first->RefCount(), 2);
        second = first.Get();  // same object: nothing changes
        EXPECT_EQ(first->RefCount(), 2);
    }
    EXPECT_EQ(first->RefCount(), 1);
    first = nullptr;
    EXPECT_TRUE(destroyed);
}

TEST(RefCounted, DestroyingAReferencedObjectWarnsWithTheCount) {
    test::LogCapture capture;
    bool destroyed = false;
    Tracked* object = new Tracked(&destroyed);
    object->AddRef();
    object->AddRef();
    delete object;
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(capture.Has(kLogWarning, "Удаление объекта, имеющего ссылки. Количество ссылок [2]."));
}

}  // namespace
}  // namespace zav
