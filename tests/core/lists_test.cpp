#include "core/lists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/numbers.h"

namespace tav {
namespace {

// ---- binary search, shared by every Find ----

struct SearchCase {
    double value;
    bool found;
    int p;
};

// Sorted [1, 3, 3, 5]: a hit gives the first of equal values, a miss the first greater item or Count.
const SearchCase kSearchCases[] = {{3, true, 1}, {4, false, 3}, {9, false, 4}, {0, false, 0},
                                   {1, true, 0}, {5, true, 3},  {2, false, 1}};
const std::vector<std::int32_t> kSorted = {1, 3, 3, 5};

// Runs one search entry point over the table; `find` gets the value and returns found with p.
template <class Find>
void checkSearch(const char* what, Find find) {
    SCOPED_TRACE(what);
    for (const SearchCase& c : kSearchCases) {
        SCOPED_TRACE(c.value);
        int p = -77;
        EXPECT_EQ(find(c.value, p), c.found);
        EXPECT_EQ(p, c.p);
    }
}

TEST(ListSearch, EveryFindFollowsTheSameRule) {
    TLongList longs;
    TFloatList floats;
    TListIndex index;
    TLongListCollection longCollection;
    TFloatListCollection floatCollection;
    const int longInside = longCollection.AppendLongList();
    const int floatInside = floatCollection.AppendFloatList();
    for (std::int32_t v : kSorted) {
        longs.AppendLong(v);
        floats.AppendFloat(v + 0.0);
        longCollection.AppendData(longInside, v);
        floatCollection.AppendData(floatInside, v);
    }
    // Keys appended out of order; FinishIndex sorts them.
    for (int i : {3, 1, 0, 2}) index.AppendIndexItem(kSorted[i], i);
    index.FinishIndex();
    // Lists ordered by their first element, for FindList and an index on element 0.
    TLongListCollection byFirst;
    TFloatListCollection byFirstFloat;
    for (std::int32_t v : kSorted) {
        byFirst.AppendData(byFirst.AppendLongList(), v);
        byFirst.AppendData(byFirst.Count() - 1, 100 - v);  // later elements play no part
        byFirstFloat.AppendData(byFirstFloat.AppendFloatList(), v);
    }
    byFirst.SetIndex(0);

    checkSearch("TLongList", [&](double v, int& p) { return longs.Find(static_cast<std::int32_t>(v), p); });
    checkSearch("TFloatList", [&](double v, int& p) { return floats.Find(v, p); });
    checkSearch("TListIndex", [&](double v, int& p) { return index.Find(v, p); });
    checkSearch("TLongListCollection::Find", [&](double v, int& p) {
        return longCollection.Find(longInside, static_cast<std::int32_t>(v), p);
    });
    checkSearch("TFloatListCollection::Find",
                [&](double v, int& p) { return floatCollection.Find(floatInside, v, p); });
    checkSearch("TLongListCollection::FindList",
                [&](double v, int& p) { return byFirst.FindList(static_cast<std::int32_t>(v), p); });
    checkSearch("TFloatListCollection::FindList",
                [&](double v, int& p) { return byFirstFloat.FindList(v, p); });
    checkSearch("IndexFind", [&](double v, int& p) { return byFirst.IndexFind(0, v, p); });
}

TEST(ListSearch, EmptyAndLongRuns) {
    int p = 9;
    EXPECT_FALSE(TLongList().Find(1, p));
    EXPECT_EQ(p, 0);
    p = 9;
    EXPECT_FALSE(TFloatList().Find(1, p));
    EXPECT_EQ(p, 0);
    p = 9;
    EXPECT_FALSE(TListIndex().Find(1, p));
    EXPECT_EQ(p, 0);
    p = 9;
    EXPECT_FALSE(TLongListCollection().FindList(1, p));
    EXPECT_EQ(p, 0);

    // A hit deep inside a long run of equal values gives the run's first item.
    TLongList run;
    run.fill(1, 3);
    for (int i = 0; i < 5000; ++i) run.AppendLong(7);
    run.AppendLong(8);
    ASSERT_TRUE(run.Find(7, p));
    EXPECT_EQ(p, 3);
    EXPECT_FALSE(run.Find(9, p));
    EXPECT_EQ(p, run.Count());
}

// ---- TLongList / TFloatList ----

TEST(ListLong, EditingAndOutOfRangePositions) {
    TLongList l;
    l.AppendLong(10);
    l.InsertLong(0, 5);    // front
    l.InsertLong(2, 30);   // p == Count appends
    l.InsertLong(2, 20);   // middle
    l.InsertLong(5, 99);   // beyond Count: nothing
    l.InsertLong(-1, 99);  // nothing
    EXPECT_EQ(l.items(), (std::vector<std::int32_t>{5, 10, 20, 30}));

    l.ReplaceLong(1, 11);
    l.ReplaceLong(4, 99);
    l.ReplaceLong(-1, 99);
    l.DeleteLong(0);
    l.DeleteLong(3);
    l.DeleteLong(-1);
    EXPECT_EQ(l.items(), (std::vector<std::int32_t>{11, 20, 30}));
    EXPECT_EQ(l.GetLong(0), 11);
    EXPECT_EQ(l.GetLong(2), 30);
    EXPECT_EQ(l.GetLong(3), 0);
    EXPECT_EQ(l.GetLong(-1), 0);

    l.AppendLong(-4);
    l.AppendLong(11);
    l.SortLong();
    EXPECT_EQ(l.items(), (std::vector<std::int32_t>{-4, 11, 11, 20, 30}));

    l.RmAll();
    EXPECT_EQ(l.Count(), 0);
    l.AppendLong(1);
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
}

TEST(ListLong, Fill) {
    const struct {
        int m, n;
        std::vector<std::int32_t> expected;
    } cases[] = {
        {2, 5, {2, 3, 4, 5}},
        {-1, 1, {-1, 0, 1}},
        {4, 4, {4}},
        {5, 4, {}},
        {std::numeric_limits<int>::max() - 1,
         std::numeric_limits<int>::max(),
         {std::numeric_limits<int>::max() - 1, std::numeric_limits<int>::max()}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.m) + " … " + std::to_string(c.n));
        TLongList l;
        l.AppendLong(42);  // replaced, not extended
        l.fill(c.m, c.n);
        EXPECT_EQ(l.items(), c.expected);
    }
}

TEST(ListFloat, EditingAndNaN) {
    TFloatList l;
    for (double x : {3.5, 1.0, -2.25}) l.AppendFloat(x);
    l.InsertFloat(1, 0.5);
    l.InsertFloat(9, 7.0);
    l.ReplaceFloat(0, 4.5);
    l.ReplaceFloat(-2, 7.0);
    l.DeleteFloat(2);
    l.DeleteFloat(3);
    EXPECT_EQ(l.items(), (std::vector<double>{4.5, 0.5, -2.25}));
    EXPECT_EQ(l.GetFloat(1), 0.5);
    EXPECT_EQ(l.GetFloat(3), 0.0);

    // A NaN among the values must not break sorting or searching; it sorts last.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    l.AppendFloat(nan);
    l.AppendFloat(1.0);
    l.InsertFloat(0, nan);
    l.SortFloat();
    ASSERT_EQ(l.Count(), 6);
    EXPECT_EQ(std::vector<double>(l.items().begin(), l.items().begin() + 4),
              (std::vector<double>{-2.25, 0.5, 1.0, 4.5}));
    EXPECT_TRUE(std::isnan(l.GetFloat(4)));
    EXPECT_TRUE(std::isnan(l.GetFloat(5)));
    int p = -1;
    EXPECT_TRUE(l.Find(1.0, p));
    EXPECT_EQ(p, 2);
    EXPECT_FALSE(l.Find(5.0, p));
    EXPECT_EQ(p, 4);
}

// ---- indexes ----

TEST(ListIndex, FinishIndexIsStableAndOutOfRangeItem) {
    TListIndex index;
    const RListIndexItem input[] = {{2.0, 0}, {1.0, 1}, {2.0, 2}, {kMissing, 3}, {1.0, 4}, {2.0, 5}};
    for (const RListIndexItem& it : input) index.AppendIndexItem(it.x, it.p);
    index.FinishIndex();
    const std::int32_t expectedPositions[] = {3, 1, 4, 0, 2, 5};
    ASSERT_EQ(index.Count(), 6);
    for (int i = 0; i < index.Count(); ++i) EXPECT_EQ(index.GetIndexItem(i).p, expectedPositions[i]) << i;
    EXPECT_EQ(index.GetIndexItem(0).x, kMissing);
    EXPECT_EQ(index.GetIndexItem(6).p, -1);
    EXPECT_EQ(index.GetIndexItem(-1).x, kMissing);

    // Enough equal keys that an unstable sort would mix up their positions.
    TListIndex many;
    for (int i = 0; i < 200; ++i) many.AppendIndexItem(i % 2, i);
    many.FinishIndex();
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(many.GetIndexItem(i).p, i < 100 ? 2 * i : 2 * (i - 100) + 1) << i;
    }

    TListIndexCollection all;
    EXPECT_EQ(all.AppendListIndex(), 0);
    EXPECT_EQ(all.AppendListIndex(), 1);
    all.GetListIndex(1).AppendIndexItem(1.0, 0);
    EXPECT_EQ(all.GetListIndex(0).Count(), 0);
    EXPECT_EQ(all.GetListIndex(1).Count(), 1);
    EXPECT_THROW(all.GetListIndex(2), std::out_of_range);
    all.Clear();
    EXPECT_EQ(all.Count(), 0);
}

// ---- list collections: the same behaviour for integers and floating values ----

template <class Collection>
struct CollectionAccess;

template <>
struct CollectionAccess<TLongListCollection> {
    static constexpr std::int32_t kShortMissing = kMissingInteger;
    static int append(TLongListCollection& c) { return c.AppendLongList(); }
    static TLongList& list(TLongListCollection& c, int p) { return c.GetLongList(p); }
};

template <>
struct CollectionAccess<TFloatListCollection> {
    static constexpr double kShortMissing = kMissing;
    static int append(TFloatListCollection& c) { return c.AppendFloatList(); }
    static TFloatList& list(TFloatListCollection& c, int p) { return c.GetFloatList(p); }
};

template <class Collection>
class ListCollection : public ::testing::Test {
  protected:
    using Access = CollectionAccess<Collection>;
    using Value = typename Collection::Value;

    void build(const std::vector<std::vector<Value>>& lists) {
        c.Clear();
        for (const auto& values : lists) {
            const int p = Access::append(c);
            for (Value v : values) c.AppendData(p, v);
        }
    }
    std::vector<std::vector<Value>> contents() {
        std::vector<std::vector<Value>> out;
        for (int p = 0; p < c.Count(); ++p) out.push_back(Access::list(c, p).items());
        return out;
    }

    Collection c;
};

using CollectionTypes = ::testing::Types<TLongListCollection, TFloatListCollection>;
TYPED_TEST_SUITE(ListCollection, CollectionTypes);

TYPED_TEST(ListCollection, DataAccessAndOutOfRange) {
    this->build({{1, 2}, {}});
    auto& c = this->c;
    EXPECT_EQ(c.Count(), 2);
    c.PutData(0, 1, 20);
    c.PutData(0, 2, 99);  // beyond the list
    c.PutData(2, 0, 99);  // beyond the collection
    c.AppendData(2, 99);
    c.AppendData(-1, 99);
    c.AppendData(1, 7);
    EXPECT_EQ(this->contents(), (std::vector<std::vector<typename TestFixture::Value>>{{1, 20}, {7}}));
    EXPECT_EQ(c.GetData(0, 1), 20);
    EXPECT_EQ(c.GetData(0, 2), 0);
    EXPECT_EQ(c.GetData(5, 0), 0);
    int p = 3;
    EXPECT_FALSE(c.Find(5, 1, p));
    EXPECT_EQ(p, 0);
    EXPECT_THROW(TestFixture::Access::list(c, 2), std::out_of_range);
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(TestFixture::Access::append(c), 0);
}

TYPED_TEST(ListCollection, SortAccordingAppliesOnePermutationToEveryList) {
    const struct {
        std::vector<std::int32_t> order;  // 1-based source positions
        std::vector<std::vector<typename TestFixture::Value>> expected;
    } cases[] = {
        // A rotation: every new element must come from the old list, not from already moved ones.
        {{2, 3, 1}, {{20, 30, 10, 40}, {2, 2}, {8, 9, 7}}},
        // Sources outside a list (7 and 0; 3 for the two-element lists) leave that element as it was.
        {{3, 1, 7, 0}, {{30, 10, 30, 40}, {1, 1}, {9, 7, 9}}},
        {{}, {{10, 20, 30, 40}, {1, 2}, {7, 8, 9}}},
    };
    for (const auto& cs : cases) {
        this->build({{10, 20, 30, 40}, {1, 2}, {7, 8, 9}});
        TLongList order;
        for (std::int32_t v : cs.order) order.AppendLong(v);
        this->c.SortAccording(order);
        EXPECT_EQ(this->contents(), cs.expected);
    }
}

TYPED_TEST(ListCollection, SortEachAndSortCollection) {
    using Value = typename TestFixture::Value;
    const Value m = TestFixture::Access::kShortMissing;
    this->build({{3, 1, 2}, {}, {5, -5}});
    this->c.SortEach();
    EXPECT_EQ(this->contents(), (std::vector<std::vector<Value>>{{1, 2, 3}, {}, {-5, 5}}));

    // {m} and {} compare equal (the empty list's missing first element counts as m) and keep their
    // order; a shorter list sorts before a longer one with the same start unless the longer one
    // continues below m.
    this->build({{2}, {1, 5}, {m}, {1}, {}, {1, -5}, {1, 5, 0}, {0, 9}, {1, m - 1000}});
    this->c.SortCollection();
    EXPECT_EQ(this->contents(), (std::vector<std::vector<Value>>{
                                    {m}, {}, {0, 9}, {1, m - 1000}, {1}, {1, -5}, {1, 5}, {1, 5, 0}, {2}}));

    // Many lists that all compare equal: enough of them that an unstable sort would reorder them.
    std::vector<std::vector<Value>> equal;
    for (int i = 0; i < 100; ++i) equal.push_back(std::vector<Value>(i % 3, m));
    this->build(equal);
    this->c.SortCollection();
    EXPECT_EQ(this->contents(), equal);
}

TYPED_TEST(ListCollection, FindListTreatsEmptyListAsLowest) {
    this->build({{}, {1, 9}, {3}, {3, 0}, {5}});
    const SearchCase cases[] = {{3, true, 2}, {4, false, 4}, {0, false, 1}, {9, false, 5}, {1, true, 1}};
    for (const SearchCase& cs : cases) {
        int p = -1;
        EXPECT_EQ(this->c.FindList(static_cast<typename TestFixture::Value>(cs.value), p), cs.found)
            << cs.value;
        EXPECT_EQ(p, cs.p) << cs.value;
    }
}

TYPED_TEST(ListCollection, SetIndexRebuildsFromScratch) {
    using Value = typename TestFixture::Value;
    auto& c = this->c;
    this->build({{5, 1}, {3}, {4, 2}, {}, {9, 2}});
    c.SetIndex(1);
    ASSERT_EQ(c.Ind.Count(), 2);  // index 0 is created empty on the way
    EXPECT_EQ(c.GetIndex(0).Count(), 0);

    auto positions = [&c](int nr) {
        std::vector<std::int32_t> out;
        for (int i = 0; i < c.GetIndex(nr).Count(); ++i) out.push_back(c.GetIndex(nr).GetIndexItem(i).p);
        return out;
    };
    // Shorter lists get the missing key and come first, equal keys keep list order.
    EXPECT_EQ(positions(1), (std::vector<std::int32_t>{1, 3, 0, 2, 4}));
    EXPECT_EQ(c.GetIndex(1).GetIndexItem(0).x, kMissing);
    EXPECT_EQ(c.GetIndex(1).GetIndexItem(2).x, 1.0);

    c.PutData(0, 1, Value{7});
    c.SetIndex(1);
    EXPECT_EQ(positions(1), (std::vector<std::int32_t>{1, 3, 2, 4, 0}));

    int p = -1;
    EXPECT_TRUE(c.IndexFind(1, 2.0, p));
    EXPECT_EQ(p, 2);
    EXPECT_FALSE(c.IndexFind(1, 3.0, p));
    EXPECT_EQ(p, 4);
    EXPECT_TRUE(c.IndexFind(1, kMissing, p));
    EXPECT_EQ(p, 0);
    p = -1;
    EXPECT_FALSE(c.IndexFind(2, 2.0, p));  // no such index
    EXPECT_EQ(p, 0);

    c.SetIndex(0);
    EXPECT_EQ(positions(0), (std::vector<std::int32_t>{3, 1, 2, 0, 4}));
    EXPECT_EQ(c.Ind.Count(), 2);
}

// ---- string lists ----

TEST(ListString, AccessAndOutOfRange) {
    TStringListCollection c;
    EXPECT_EQ(c.AppendStringList(), 0);
    EXPECT_EQ(c.AppendStringList(), 1);
    c.AppendString(0, "Quercus");
    c.AppendString(0, "Fagus");
    c.AppendString(1, "Poa");
    c.AppendString(2, "nowhere");
    c.ReplaceString(0, 1, "Acer");
    c.ReplaceString(0, 2, "beyond list");
    c.ReplaceString(3, 0, "beyond collection");
    EXPECT_EQ(c.GetStringList(0), (std::vector<std::string>{"Quercus", "Acer"}));
    EXPECT_EQ(c.GetString(1, 0), "Poa");
    EXPECT_EQ(c.GetString(1, 1), "");
    EXPECT_EQ(c.GetString(2, 0), "");
    EXPECT_EQ(c.GetString(-1, 0), "");
    EXPECT_THROW(c.GetStringList(2), std::out_of_range);
    c.GetStringList(1).push_back("Carex");
    EXPECT_EQ(c.GetString(1, 1), "Carex");
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
}

}  // namespace
}  // namespace tav
