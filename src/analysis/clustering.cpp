#include "analysis/clustering.h"

#include <algorithm>
#include <limits>
#include <map>
#include <numeric>

#include "core/numbers.h"
#include "platform/progress.h"

namespace tav {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct Merge {
    int a, b;  // an object of each merged cluster
    double similarity;
};

// The packed triangle of the clusters that are still active, worked in place. Cluster i's similarities
// to the others are its row (i, 0) … (i, i − 1), which lies in one piece, and its column (i + 1, i),
// (i + 2, i) …, one cell in each later row and often in another page. When a quarter of the places have
// fallen inactive the active ones are moved together, in their order, so that the walks along rows and
// columns grow shorter with the clusters left and meet fewer pages.
class ActiveTriangle {
  public:
    explicit ActiveTriangle(PackedTriangle& sim)
        : cells_(sim.size() > 1 ? sim.row(1) : nullptr),
          places_(sim.size()),
          active_(static_cast<std::size_t>(places_), 1),
          object_(static_cast<std::size_t>(places_)) {
        std::iota(object_.begin(), object_.end(), 0);
    }

    bool active(int i) const { return active_[static_cast<std::size_t>(i)] != 0; }
    int object(int i) const { return object_[static_cast<std::size_t>(i)]; }
    double* row(int i) { return cells_ + static_cast<std::size_t>(i) * static_cast<std::size_t>(i - 1) / 2; }
    double& at(int i, int j) { return i > j ? row(i)[j] : row(j)[i]; }

    // f(k, cell (k, i)) for every k from `from` on, walking down column i.
    template <class F>
    void forColumn(int i, int from, F&& f) {
        if (from >= places_) return;
        double* cell = row(from) + i;
        // The cells some rows ahead are asked for early, so that their misses overlap.
        constexpr std::ptrdiff_t kAhead = 24;
        const int lastAhead = places_ - static_cast<int>(kAhead);
        for (int k = from; k < places_; ++k) {
            if (k < lastAhead) __builtin_prefetch(cell + kAhead * k + kAhead * (kAhead - 1) / 2);
            f(k, *cell);
            cell += k;  // from (k, i) to (k + 1, i)
        }
    }

    // The most similar active cluster to a; on a tie the previous one in the chain (−1 for none), else
    // the first. Its similarity goes to best.
    int nearest(int a, int previous, double& best) {
        int b = previous;
        best = previous >= 0 ? at(a, previous) : -kInfinity;
        auto consider = [&](int k, const double& v) {
            if (active_[static_cast<std::size_t>(k)] && (v > best || b < 0)) {
                best = v;
                b = k;
            }
        };
        double* r = row(a);
        for (int k = 0; k < a; ++k) consider(k, r[k]);
        forColumn(a, a + 1, consider);
        return b;
    }

    // Writes rule(similarity to lo, similarity to hi) as the similarity of every other active cluster to
    // lo, which takes the merged cluster; hi falls inactive.
    template <class Rule>
    void merge(int lo, int hi, Rule rule) {
        double* rowLo = row(lo);
        double* rowHi = row(hi);
        for (int k = 0; k < lo; ++k)
            if (active(k)) rowLo[k] = rule(rowLo[k], rowHi[k]);
        forColumn(lo, lo + 1, [&](int k, double& v) {
            if (k == hi || !active(k)) return;
            v = rule(v, k < hi ? rowHi[k] : row(k)[hi]);
        });
        active_[static_cast<std::size_t>(hi)] = 0;
        ++inactive_;
    }

    // Moves the active places together when enough have fallen inactive; newPlace(old) then gives the
    // new place of each active one, for the caller's own lists by place.
    template <class Renumber>
    void compactIfWorthIt(Renumber renumber) {
        if (places_ < 256 || inactive_ * 4 < places_) return;
        std::vector<int> newPlace(static_cast<std::size_t>(places_), -1);
        int to = 0;
        for (int i = 0; i < places_; ++i)
            if (active(i)) newPlace[static_cast<std::size_t>(i)] = to++;
        // Every cell moves to a lower or the same position, rows in order: nothing is overwritten before
        // it is read.
        for (int i = 0; i < places_; ++i) {
            if (!active(i)) continue;
            const double* from = row(i);
            double* into = row(newPlace[static_cast<std::size_t>(i)]);
            int j2 = 0;
            for (int j = 0; j < i; ++j)
                if (active(j)) into[j2++] = from[j];
        }
        for (int i = 0; i < places_; ++i)
            if (active(i))
                object_[static_cast<std::size_t>(newPlace[static_cast<std::size_t>(i)])] = object(i);
        renumber(newPlace);
        places_ = to;
        inactive_ = 0;
        object_.resize(static_cast<std::size_t>(to));
        active_.assign(static_cast<std::size_t>(to), 1);
    }

  private:
    double* cells_;  // cell (1, 0) first
    int places_, inactive_ = 0;
    std::vector<char> active_;
    std::vector<int> object_;  // the object whose place each place was at the start
};

// Single, average and complete linkage: the nearest-neighbour chain on the similarities, worked in the
// matrix itself, each merged cluster kept at the lower of its two places. The similarities are the
// distances with their sign changed, and every step is exact under that change: the chain and the
// merges are those of the distances.
std::vector<Merge> nearestNeighbourChain(PackedTriangle& sim, char linkage, Progress* progress) {
    const int n = sim.size();
    ActiveTriangle t(sim);
    std::vector<double> size(static_cast<std::size_t>(n), 1);
    std::vector<int> chain;
    std::vector<Merge> merges;
    int firstActive = 0;
    if (progress) progress->startBar(n - 1);
    for (int remaining = n; remaining > 1; --remaining) {
        if (progress) {
            progress->setPosition(n - remaining);
            if (progress->aborted()) return {};
        }
        t.compactIfWorthIt([&](const std::vector<int>& newPlace) {
            for (int& c : chain) c = newPlace[static_cast<std::size_t>(c)];
            for (std::size_t i = 0; i < newPlace.size(); ++i)
                if (newPlace[i] >= 0) size[static_cast<std::size_t>(newPlace[i])] = size[i];
            firstActive = 0;
        });
        if (chain.empty()) {
            while (!t.active(firstActive)) ++firstActive;
            chain.push_back(firstActive);
        }
        int a = -1, b = -1;
        double best = -kInfinity;
        for (;;) {
            a = chain.back();
            const int previous = chain.size() >= 2 ? chain[chain.size() - 2] : -1;
            b = t.nearest(a, previous, best);
            if (b == previous) break;
            chain.push_back(b);
        }
        chain.pop_back();
        chain.pop_back();
        merges.push_back({t.object(a), t.object(b), best});
        const int lo = std::min(a, b), hi = std::max(a, b);
        const double nLo = size[static_cast<std::size_t>(lo)], nHi = size[static_cast<std::size_t>(hi)];
        if (linkage == 'S')
            t.merge(lo, hi, [](double sLo, double sHi) { return std::max(sLo, sHi); });
        else if (linkage == 'C')
            t.merge(lo, hi, [](double sLo, double sHi) { return std::min(sLo, sHi); });
        else
            t.merge(lo, hi, [&](double sLo, double sHi) { return (nLo * sLo + nHi * sHi) / (nLo + nHi); });
        size[static_cast<std::size_t>(lo)] = nLo + nHi;
    }
    if (progress) progress->endBar();
    // The merges in the order of their similarities, the most similar first; equal ones as the chain
    // found them.
    std::stable_sort(merges.begin(), merges.end(),
                     [](const Merge& x, const Merge& y) { return x.similarity > y.similarity; });
    return merges;
}

int findRoot(std::vector<int>& parent, int i) {
    while (parent[static_cast<std::size_t>(i)] != i) {
        parent[static_cast<std::size_t>(i)] =
            parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(i)])];
        i = parent[static_cast<std::size_t>(i)];
    }
    return i;
}

// The middle linkage as its rule goes: per object its cluster's best partner, recomputed only for the
// objects a merge touched; the linkage of a with b is the mean over each member of a and at most the
// first 13 members of b.
Dendrogram middleLinkage(const PackedTriangle& sim, Progress* progress) {
    const int n = sim.size();
    Dendrogram out;
    out.objects = n;
    std::vector<int> cluster(static_cast<std::size_t>(n)), partner(static_cast<std::size_t>(n), 0);
    std::vector<double> best(static_cast<std::size_t>(n), -kInfinity);
    std::map<int, std::vector<int>> members;
    for (int i = 0; i < n; ++i) {
        cluster[static_cast<std::size_t>(i)] = -(i + 1);
        members[-(i + 1)] = {i};
    }
    auto link = [&](int a, int b) {
        const std::vector<int>& ma = members[a];
        const std::vector<int>& mb = members[b];
        const std::size_t take = std::min<std::size_t>(mb.size(), 13);
        double sum = 0;
        for (int p : ma)
            for (std::size_t q = 0; q < take; ++q) sum += sim.at(p, mb[q]);
        return sum / static_cast<double>(ma.size() * take);
    };
    auto search = [&](int i) {
        double value = -kInfinity;
        int chosen = 0;
        for (int p = 0; p < n; ++p) {
            if (cluster[static_cast<std::size_t>(p)] == cluster[static_cast<std::size_t>(i)]) continue;
            const double v = link(cluster[static_cast<std::size_t>(i)], cluster[static_cast<std::size_t>(p)]);
            if (v > value) {
                value = v;
                chosen = cluster[static_cast<std::size_t>(p)];
            }
        }
        partner[static_cast<std::size_t>(i)] = chosen;
        best[static_cast<std::size_t>(i)] = value;
    };
    for (int i = 0; i < n; ++i) search(i);
    if (progress) progress->startBar(n - 1);
    for (int k = 1; k <= n - 1; ++k) {
        if (progress) {
            progress->setPosition(k);
            if (progress->aborted()) return {};
        }
        double nextSim = -kInfinity;
        int next1 = 0, next2 = 0;
        for (int i = 0; i < n; ++i)
            if (partner[static_cast<std::size_t>(i)] != 0 && best[static_cast<std::size_t>(i)] > nextSim) {
                nextSim = best[static_cast<std::size_t>(i)];
                next1 = cluster[static_cast<std::size_t>(i)];
                next2 = partner[static_cast<std::size_t>(i)];
            }
        out.ta.push_back(next1);
        out.tb.push_back(next2);
        out.td.push_back(nextSim);
        if (k == n - 1) break;
        std::vector<int> merged = members[next1];
        merged.insert(merged.end(), members[next2].begin(), members[next2].end());
        std::sort(merged.begin(), merged.end());
        members.erase(next1);
        members.erase(next2);
        members[k] = merged;
        for (int i : merged) cluster[static_cast<std::size_t>(i)] = k;
        std::map<int, int> handled;  // cluster → the first object handled in this step
        for (int i = 0; i < n; ++i) {
            const int p = partner[static_cast<std::size_t>(i)];
            if (p != next1 && p != next2 && cluster[static_cast<std::size_t>(i)] != k) continue;
            if (const auto h = handled.find(cluster[static_cast<std::size_t>(i)]); h != handled.end()) {
                partner[static_cast<std::size_t>(i)] = partner[static_cast<std::size_t>(h->second)];
                best[static_cast<std::size_t>(i)] = best[static_cast<std::size_t>(h->second)];
                continue;
            }
            search(i);
            handled[cluster[static_cast<std::size_t>(i)]] = i;
        }
    }
    if (progress) progress->endBar();
    return out;
}

// The classes of the objects when the merges for which split holds are cut.
template <class Split>
std::vector<int> classesWhere(const Dendrogram& d, Split split, int& count) {
    std::vector<int> objectClass(static_cast<std::size_t>(d.objects), 1);
    count = d.objects > 0 ? 1 : 0;
    const int steps = static_cast<int>(d.td.size());
    std::vector<int> stepClass(static_cast<std::size_t>(steps), 1);
    auto give = [&](int child, int cls) {
        if (child < 0)
            objectClass[static_cast<std::size_t>(-child - 1)] = cls;
        else if (child > 0)
            stepClass[static_cast<std::size_t>(child - 1)] = cls;
    };
    for (int s = steps - 1; s >= 0; --s) {
        const int cls = stepClass[static_cast<std::size_t>(s)];
        give(d.ta[static_cast<std::size_t>(s)], cls);
        give(d.tb[static_cast<std::size_t>(s)], split(s) ? ++count : cls);
    }
    return objectClass;
}

}  // namespace

Dendrogram clusterObjects(const PackedTriangle& sim, char linkage, Progress* progress) {
    if (linkage == 'M')
        return sim.size() < 2 ? Dendrogram{{}, {}, {}, sim.size()} : middleLinkage(sim, progress);
    return clusterObjects(PackedTriangle(sim), linkage, progress);
}

Dendrogram clusterObjects(PackedTriangle&& sim, char linkage, Progress* progress) {
    const int n = sim.size();
    if (linkage == 'M') return n < 2 ? Dendrogram{{}, {}, {}, n} : middleLinkage(sim, progress);
    Dendrogram out;
    out.objects = n;
    if (n < 2) return out;
    const std::vector<Merge> merges = nearestNeighbourChain(sim, linkage, progress);
    if (merges.empty()) return {};
    // Relabel: object i is −(i + 1), step k's cluster is k; the child with the lower first object first.
    std::vector<int> parent(static_cast<std::size_t>(n)), id(static_cast<std::size_t>(n)),
        lowest(static_cast<std::size_t>(n));
    std::iota(parent.begin(), parent.end(), 0);
    std::iota(lowest.begin(), lowest.end(), 0);
    for (int i = 0; i < n; ++i) id[static_cast<std::size_t>(i)] = -(i + 1);
    for (std::size_t k = 0; k < merges.size(); ++k) {
        int ra = findRoot(parent, merges[k].a), rb = findRoot(parent, merges[k].b);
        if (lowest[static_cast<std::size_t>(rb)] < lowest[static_cast<std::size_t>(ra)]) std::swap(ra, rb);
        out.ta.push_back(id[static_cast<std::size_t>(ra)]);
        out.tb.push_back(id[static_cast<std::size_t>(rb)]);
        out.td.push_back(merges[k].similarity);
        parent[static_cast<std::size_t>(rb)] = ra;
        id[static_cast<std::size_t>(ra)] = static_cast<int>(k) + 1;
    }
    return out;
}

std::vector<int> dendrogramOrder(const Dendrogram& d) {
    std::vector<int> order;
    if (d.objects == 1) order.push_back(1);
    if (d.ta.empty()) return order;
    std::vector<int> stack{d.tb.back(), d.ta.back()};
    while (!stack.empty()) {
        const int c = stack.back();
        stack.pop_back();
        if (c < 0) {
            order.push_back(-c);
            continue;
        }
        stack.push_back(d.tb[static_cast<std::size_t>(c - 1)]);
        stack.push_back(d.ta[static_cast<std::size_t>(c - 1)]);
    }
    return order;
}

void orderByGradient(Dendrogram& d, const std::vector<double>& gradient) {
    std::vector<double> stepValue(d.td.size(), kMissing);
    auto value = [&](int c) {
        if (c < 0) {
            const auto i = static_cast<std::size_t>(-c - 1);
            return i < gradient.size() ? gradient[i] : kMissing;
        }
        return stepValue[static_cast<std::size_t>(c - 1)];
    };
    for (std::size_t s = 0; s < d.td.size(); ++s) {
        const double a = value(d.ta[s]), b = value(d.tb[s]);
        const bool hasA = !isMissing(a), hasB = !isMissing(b);
        if (hasA && hasB && a > b) std::swap(d.ta[s], d.tb[s]);
        stepValue[s] = hasA && hasB ? (a + b) / 2 : hasA ? a : b;
    }
}

std::vector<int> classesAtCut(const Dendrogram& d, double cut, int& count) {
    return classesWhere(
        d, [&](int s) { return d.td[static_cast<std::size_t>(s)] <= cut; }, count);
}

std::vector<int> classesForCount(const Dendrogram& d, int k) {
    const int steps = static_cast<int>(d.td.size());
    std::vector<char> split(static_cast<std::size_t>(steps), 0);
    std::vector<int> bySimilarity(static_cast<std::size_t>(steps));
    std::iota(bySimilarity.begin(), bySimilarity.end(), 0);
    // The least similar merges first; of equal ones the later.
    std::stable_sort(bySimilarity.begin(), bySimilarity.end(), [&](int x, int y) {
        const double a = d.td[static_cast<std::size_t>(x)], b = d.td[static_cast<std::size_t>(y)];
        return a < b || (a == b && x > y);
    });
    for (int i = 0; i < std::min(std::max(k - 1, 0), steps); ++i)
        split[static_cast<std::size_t>(bySimilarity[static_cast<std::size_t>(i)])] = 1;
    int count = 0;
    return classesWhere(
        d, [&](int s) { return split[static_cast<std::size_t>(s)] != 0; }, count);
}

}  // namespace tav
