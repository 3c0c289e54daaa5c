#include "core/menge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/random.h"

namespace tav {
namespace {

constexpr int kTop = TMenge::kCapacity - 1;  // 992436542

std::vector<int> enumerate(TMenge& m) {
    std::vector<int> out;
    m.Reset();
    int x = 0;
    while (m.Next(x)) out.push_back(x);
    EXPECT_EQ(x, -1);
    return out;
}

TMenge makeSet(const std::vector<int>& values) {
    TMenge m;
    for (int v : values) m.Add(v);
    return m;
}

// ---- building a set ----

struct BuildCase {
    std::string name;
    std::function<void(TMenge&)> build;
    std::vector<int> expected;
};

TEST(MengeBuild, ResultingMembersAndCount) {
    const std::vector<BuildCase> cases = {
        {"top of range", [](TMenge& m) { m.Add(kTop); }, {kTop}},
        {"beyond range and negative ignored",
         [](TMenge& m) {
             m.Add(TMenge::kCapacity);
             m.Add(-1);
             m.Add(2147483647);
         },
         {}},
        {"duplicate add counts once",
         [](TMenge& m) {
             m.Add(7);
             m.Add(7);
         },
         {7}},
        {"remove absent keeps others",
         [](TMenge& m) {
             m.Add(5);
             m.Remove(6);
             m.Remove(100000000);
             m.Remove(-3);
         },
         {5}},
        {"remove present",
         [](TMenge& m) {
             m.Add(5);
             m.Add(9);
             m.Remove(5);
         },
         {9}},
        {"fill reversed is empty", [](TMenge& m) { m.Fill(5, 4); }, {}},
        {"fill single", [](TMenge& m) { m.Fill(3, 3); }, {3}},
        {"fill clipped below", [](TMenge& m) { m.Fill(-5, 2); }, {0, 1, 2}},
        {"fill replaces",
         [](TMenge& m) {
             m.Add(1000);
             m.Fill(62, 65);
         },
         {62, 63, 64, 65}},
        {"fill at the top edge", [](TMenge& m) { m.Fill(kTop - 2, kTop + 5); }, {kTop - 2, kTop - 1, kTop}},
    };
    for (const BuildCase& c : cases) {
        SCOPED_TRACE(c.name);
        TMenge m;
        c.build(m);
        EXPECT_EQ(m.elements(), c.expected);
        EXPECT_EQ(m.Count(), static_cast<int>(c.expected.size()));
        EXPECT_EQ(m.empty(), c.expected.empty());
        for (int v : c.expected) EXPECT_TRUE(m.Element(v)) << v;
    }
}

TEST(MengeBuild, ElementOutsideRangeIsFalse) {
    TMenge m;
    m.Fill(0, 10);
    m.Add(kTop);
    EXPECT_FALSE(m.Element(-1));
    EXPECT_FALSE(m.Element(TMenge::kCapacity));
    EXPECT_FALSE(m.Element(11));
    EXPECT_FALSE(m.Element(kTop - 1));
}

// Ranges crossing word and leaf boundaries (64 and 4096) are filled word-wise; the count and each edge
// must be exact.
TEST(MengeBuild, FillAcrossWordAndLeafBoundaries) {
    const struct {
        int m, n;
    } ranges[] = {{0, 63},      {1, 64},       {63, 4096},         {4000, 9000},
                  {4095, 4096}, {100, 300099}, {kTop - 5000, kTop}};
    for (const auto& r : ranges) {
        SCOPED_TRACE(std::to_string(r.m) + " … " + std::to_string(r.n));
        TMenge m;
        m.Fill(r.m, r.n);
        EXPECT_EQ(m.Count(), r.n - r.m + 1);
        EXPECT_FALSE(m.Element(r.m - 1));
        EXPECT_TRUE(m.Element(r.m));
        EXPECT_TRUE(m.Element(r.n));
        EXPECT_FALSE(m.Element(r.n + 1));
        const std::vector<int> all = m.elements();
        ASSERT_EQ(all.size(), static_cast<std::size_t>(r.n - r.m + 1));
        for (std::size_t i = 0; i < all.size(); ++i) ASSERT_EQ(all[i], r.m + static_cast<int>(i));
        int x = 0;
        ASSERT_TRUE(m.Next(x));  // Fill leaves the cursor at the start
        EXPECT_EQ(x, r.m);
    }
}

TEST(MengeBuild, ClearEmptiesAndDoesNotResurrect) {
    TMenge m;
    m.Add(10);
    m.Add(11);
    m.Add(kTop);
    int x = 0;
    ASSERT_TRUE(m.Next(x));
    m.Clear();
    EXPECT_EQ(m.Count(), 0);
    EXPECT_TRUE(m.empty());
    EXPECT_FALSE(m.Next(x));
    EXPECT_EQ(x, -1);
    EXPECT_FALSE(m.Element(10));
    EXPECT_FALSE(m.Element(kTop));

    m.Add(12);  // same region as the former members
    EXPECT_EQ(m.elements(), std::vector<int>{12});
    EXPECT_EQ(m.Count(), 1);
    EXPECT_EQ(enumerate(m), std::vector<int>{12});
}

TEST(MengeBuild, CopiesAreIndependent) {
    TMenge a = makeSet({1, 5000, kTop});
    TMenge b = a;
    a.Remove(5000);
    a.Add(6);
    EXPECT_EQ(b.elements(), (std::vector<int>{1, 5000, kTop}));
    EXPECT_EQ(a.elements(), (std::vector<int>{1, 6, kTop}));
    b = a;
    EXPECT_TRUE(b == a);
}

// ---- enumeration ----

TEST(MengeEnumeration, FindsMembersInFarApartRegions) {
    const std::vector<int> values = {0, 62, 63, 3968, 3969, 250047, 15752961, kTop};
    TMenge m;
    // Added out of order so the storage order differs from the value order.
    for (auto it = values.rbegin(); it != values.rend(); ++it) m.Add(*it);
    EXPECT_EQ(enumerate(m), values);
    EXPECT_EQ(m.elements(), values);

    // A member only at the very top, after nothing but unused space.
    TMenge top = makeSet({kTop});
    EXPECT_EQ(enumerate(top), std::vector<int>{kTop});
    // Regions that were used and are now empty are skipped as well.
    TMenge emptied = makeSet({5, 70000, 3000000, 500000000});
    emptied.Remove(5);
    emptied.Remove(70000);
    emptied.Remove(500000000);
    EXPECT_EQ(enumerate(emptied), std::vector<int>{3000000});
}

TEST(MengeEnumeration, EndResetAndCount) {
    TMenge m = makeSet({4, 9});
    int x = 0;
    ASSERT_TRUE(m.Next(x));
    EXPECT_EQ(x, 4);
    EXPECT_EQ(m.Count(), 2);  // reading the count does not move the cursor
    ASSERT_TRUE(m.Next(x));
    EXPECT_EQ(x, 9);
    x = 123;
    EXPECT_FALSE(m.Next(x));
    EXPECT_EQ(x, -1);
    EXPECT_FALSE(m.Next(x));  // stays at the end
    EXPECT_EQ(x, -1);
    m.Reset();
    ASSERT_TRUE(m.Next(x));
    EXPECT_EQ(x, 4);

    TMenge empty;
    x = 5;
    EXPECT_FALSE(empty.Next(x));
    EXPECT_EQ(x, -1);
}

TEST(MengeEnumeration, ChangesDuringEnumeration) {
    TMenge m = makeSet({10, 20, 30, 40});
    int x = 0;
    ASSERT_TRUE(m.Next(x));
    ASSERT_EQ(x, 10);
    m.Remove(10);  // the current element
    m.Add(5);      // behind the cursor: not visited
    m.Add(15);     // ahead: visited
    m.Remove(30);  // ahead: skipped
    m.Add(100000);
    std::vector<int> rest;
    while (m.Next(x)) rest.push_back(x);
    EXPECT_EQ(rest, (std::vector<int>{15, 20, 40, 100000}));
    EXPECT_EQ(m.Count(), 5);
}

// ---- set operations ----

TEST(MengeSetOps, SelfAndEmptyOperands) {
    const TMenge original = makeSet({0, 64, 4097, 700000, kTop});
    const TMenge empty;

    TMenge m = original;
    m.XOder(m);
    EXPECT_TRUE(m.empty());
    EXPECT_TRUE(m.elements().empty());

    m = original;
    m.Oder(m);
    EXPECT_TRUE(m == original);
    m.Und(m);
    EXPECT_TRUE(m == original);

    m = original;
    m.Und(empty);
    EXPECT_TRUE(m.empty());
    EXPECT_TRUE(m.elements().empty());

    m = original;
    m.Oder(empty);
    m.XOder(empty);
    EXPECT_TRUE(m == original);

    TMenge e;
    e.Und(original);
    EXPECT_TRUE(e.empty());
    e.XOder(original);
    EXPECT_TRUE(e == original);
}

TEST(MengeSetOps, EqualityIgnoresStorageHistory) {
    // b once held elements in regions a never touched; the emptied storage must not matter.
    TMenge a = makeSet({1, 2});
    TMenge b = makeSet({1, 2, 9000, 600000000});
    EXPECT_FALSE(a == b);
    b.Remove(9000);
    b.Remove(600000000);
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(b == a);
    // Equal counts, different members.
    EXPECT_FALSE(makeSet({1, 3}) == makeSet({1, 2}));
    EXPECT_FALSE(makeSet({1, 600000000}) == makeSet({1, 600000001}));
    EXPECT_TRUE(TMenge() == TMenge());
}

// Random sequences of every mutating operation against std::set. Values come from a few clusters and
// the whole range so that operations meet shared, one-sided and emptied leaves.
TEST(MengeSetOps, RandomCrossCheckAgainstStdSet) {
    std::mt19937_64 gen(20240517);
    auto value = [&gen]() {
        static const int centres[] = {0, 4096 * 3, 2000000, kTop - 3000};
        switch (gen() % 3) {
            case 0:
                return static_cast<int>(gen() % TMenge::kCapacity);
            default: {
                const int centre = centres[gen() % 4];
                return centre + static_cast<int>(gen() % 3000);
            }
        }
    };
    TMenge sets[3];
    std::set<int> models[3];
    for (int step = 0; step < 4000; ++step) {
        const int a = static_cast<int>(gen() % 3);
        const int b = static_cast<int>(gen() % 3);
        switch (gen() % 8) {
            case 0:
            case 1:
            case 2: {
                const int v = value();
                sets[a].Add(v);
                models[a].insert(v);
                break;
            }
            case 3:
            case 4: {
                // Remove mostly present elements.
                if (!models[a].empty() && gen() % 4 != 0) {
                    auto it = models[a].begin();
                    std::advance(it, static_cast<long>(gen() % models[a].size()));
                    const int v = *it;
                    sets[a].Remove(v);
                    models[a].erase(v);
                } else {
                    const int v = value();
                    sets[a].Remove(v);
                    models[a].erase(v);
                }
                break;
            }
            case 5: {
                sets[a].Oder(sets[b]);
                const std::set<int> other = models[b];
                models[a].insert(other.begin(), other.end());
                break;
            }
            case 6: {
                sets[a].XOder(sets[b]);
                std::set<int> result;
                const std::set<int> other = models[b];
                for (int v : models[a]) {
                    if (!other.count(v)) result.insert(v);
                }
                for (int v : other) {
                    if (!models[a].count(v)) result.insert(v);
                }
                models[a] = result;
                break;
            }
            case 7: {
                if (gen() % 3 != 0) break;  // intersections empty the sets quickly; keep them rarer
                sets[a].Und(sets[b]);
                std::set<int> result;
                for (int v : models[a]) {
                    if (models[b].count(v)) result.insert(v);
                }
                models[a] = result;
                break;
            }
        }
        ASSERT_EQ(sets[a].Count(), static_cast<int>(models[a].size())) << "step " << step;
        if (step % 200 == 0) {
            for (int i = 0; i < 3; ++i) {
                ASSERT_EQ(sets[i].elements(), std::vector<int>(models[i].begin(), models[i].end()));
                ASSERT_EQ(enumerate(sets[i]), std::vector<int>(models[i].begin(), models[i].end()));
            }
        }
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sets[i].elements(), std::vector<int>(models[i].begin(), models[i].end()));
        for (int v : models[i]) ASSERT_TRUE(sets[i].Element(v));
        for (int j = 0; j < 3; ++j) EXPECT_EQ(sets[i] == sets[j], models[i] == models[j]);
    }
}

// ---- random choice ----

TEST(MengeZufallswahl, OnEmptySet) {
    const struct {
        int n, nMax;
        int expectedCount;
        bool isRange;  // expect exactly 0 … nMax-1
    } cases[] = {
        {3, 100, 3, false}, {99, 100, 99, false}, {100, 100, 100, true}, {150, 100, 100, true},
        {0, 100, 0, false}, {-4, 100, 0, false},  {5, 0, 0, false},
    };
    Random rng(11);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.n) + " of " + std::to_string(c.nMax));
        TMenge m;
        m.Zufallswahl(c.n, c.nMax, rng);
        EXPECT_EQ(m.Count(), c.expectedCount);
        const std::vector<int> all = m.elements();
        EXPECT_EQ(all.size(), static_cast<std::size_t>(c.expectedCount));
        for (int v : all) {
            EXPECT_GE(v, 0);
            EXPECT_LT(v, c.nMax);
        }
        if (c.isRange) {
            TMenge range;
            range.Fill(0, c.nMax - 1);
            EXPECT_TRUE(m == range);
        }
    }
}

TEST(MengeZufallswahl, OnFilledSetKeepsFormerElements) {
    const std::vector<int> former = {3, 70, 4100, 9999, 50000, 1000000, 5000000, 80000000, 500000000, kTop};
    const struct {
        int n;
        int expectedCount;
    } cases[] = {{10, 10}, {11, 10}, {4, 4}, {1, 1}, {9, 9}, {0, 0}, {-1, 0}};
    Random rng(5);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        TMenge m = makeSet(former);
        m.Zufallswahl(c.n, 17, rng);  // nMax plays no part on a non-empty set
        EXPECT_EQ(m.Count(), c.expectedCount);
        const std::vector<int> kept = m.elements();
        EXPECT_EQ(kept.size(), static_cast<std::size_t>(c.expectedCount));
        for (int v : kept) EXPECT_TRUE(std::find(former.begin(), former.end(), v) != former.end()) << v;
    }
}

// Every 2-element subset of a 5-element set must come up about equally often; with a fixed seed the
// outcome is reproducible, and the bound is wide enough for any decent generator.
TEST(MengeZufallswahl, SubsetsAreEquallyLikely) {
    Random rng(99);
    std::map<std::vector<int>, int> seen;
    const int rounds = 20000;
    for (int i = 0; i < rounds; ++i) {
        TMenge m = makeSet({2, 4100, 9000, 9001, 700000000});
        m.Zufallswahl(2, 0, rng);
        ++seen[m.elements()];
    }
    ASSERT_EQ(seen.size(), 10u);
    for (const auto& [subset, times] : seen) {
        EXPECT_NEAR(times, rounds / 10, 250) << subset[0] << "," << subset[1];
    }
}

TEST(MengeZufallswahl, DrawsOnEmptySetAreSpread) {
    Random rng(3);
    std::vector<int> hits(10, 0);
    for (int i = 0; i < 5000; ++i) {
        TMenge m;
        m.Zufallswahl(1, 10, rng);
        ASSERT_EQ(m.Count(), 1);
        ++hits[m.elements()[0]];
    }
    for (int h : hits) EXPECT_NEAR(h, 500, 100);
}

}  // namespace
}  // namespace tav
