// Name lookup, synonymy and aggregates of the species database.

#include <algorithm>
#include <set>

#include "core/numbers.h"
#include "species/art_db.h"
#include "species/name_text.h"

namespace tav {

namespace {

constexpr int kMaxAggregateLevels = 100;

bool startsWith(std::string_view s, std::string_view p) {
    return s.substr(0, p.size()) == p;
}

// The folded value from just after the folded prefix contains the folded tail.
bool tailAfter(std::string_view foldedValue, std::string_view prefix, std::string_view tail) {
    if (tail.empty()) return true;
    const std::size_t from = prefix == "?" ? 0 : std::min(prefix.size(), foldedValue.size());
    return foldedValue.find(tail, from) != std::string_view::npos;
}

}  // namespace

TMenge TArtDb::DoSearch(std::string_view foldedPrefix, int column, const TMenge* Mg) const {
    TMenge M;
    if (column >= arten_.fieldCount()) return M;
    auto keyOfRow = [&](int row) { return static_cast<int>(arten_.integer(row, art::kPrim).value_or(-1)); };
    if (Mg) {
        for (int p : Mg->elements()) {
            const int row = arten_.rowOfKey(p);
            if (row >= 0 && startsWith(upperFold(arten_.text(row, column)), foldedPrefix)) M.Add(p);
        }
        return M;
    }
    for (int row : arten_.index(column).withPrefix(foldedPrefix)) M.Add(keyOfRow(row));
    return M;
}

namespace {

std::uint64_t nameHash(std::string_view genus, std::string_view species) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : genus) h = (h ^ c) * 1099511628211ull;
    h = (h ^ 0x1f) * 1099511628211ull;
    for (unsigned char c : species) h = (h ^ c) * 1099511628211ull;
    return h;
}

}  // namespace

std::vector<int> TArtDb::exactNameRows(std::string_view foldedGenus, std::string_view foldedSpecies) {
    std::string g, s;
    if (exactNamesAt_ != arten_.changes()) {
        exactNames_.clear();
        exactNames_.reserve(static_cast<std::size_t>(arten_.count()));
        for (int r = 0; r < arten_.count(); ++r)
            exactNames_.emplace_back(
                nameHash(arten_.foldedText(r, art::kGenus, g), arten_.foldedText(r, art::kSpecies, s)), r);
        std::sort(exactNames_.begin(), exactNames_.end());
        exactNamesAt_ = arten_.changes();
    }
    std::vector<int> rows;
    const std::uint64_t h = nameHash(foldedGenus, foldedSpecies);
    auto it = std::lower_bound(exactNames_.begin(), exactNames_.end(), std::pair<std::uint64_t, int>(h, -1));
    for (; it != exactNames_.end() && it->first == h; ++it)
        if (arten_.foldedText(it->second, art::kGenus, g) == foldedGenus &&
            arten_.foldedText(it->second, art::kSpecies, s) == foldedSpecies)
            rows.push_back(it->second);
    return rows;
}

TMenge TArtDb::Search(std::string_view s, bool Query) {
    // The result is built apart and copied into ma_, so a caller keeps its own copy across later searches.
    TMenge result;
    if (arten_.fieldCount() <= art::kAutor) {
        ma_ = result;
        return result;
    }
    SearchWords w = splitSearchText(s);
    if (w.all) {
        GetAll(result);
        ma_ = result;
        return result;
    }
    std::string p1 = w.w1, t1, p2 = w.w2, t2, p3 = w.rest, t3;
    CheckJoker(p1, t1, true);
    CheckJoker(p2, t2, true);
    const bool bothNames = w.w1 != "?" && w.w2 != "?";
    if (Query && bothNames) {
        p3 = "?";  // with Query the authors of a full name are not asked for
    } else {
        CheckJoker(p3, t3, false);
        if (Query) p3 = "?";
    }

    // A whole genus and epithet without jokers or authors: when records carry exactly that name, they are
    // the result (exact names win over longer ones), found by one hash lookup.
    const bool plainWords = w.w1.find_first_of("*.?") == std::string::npos &&
                            w.w2.find_first_of("*.?") == std::string::npos && t1.empty() && t2.empty();
    if (plainWords && w.rest == "?") {
        if (const std::vector<int> exact = exactNameRows(p1, p2); !exact.empty()) {
            for (int r : exact) result.Add(static_cast<int>(arten_.integer(r, art::kPrim).value_or(-1)));
            ma_ = result;
            return result;
        }
    }

    // The candidates are the records whose columns begin with the given prefixes. The order in which the
    // conditions are applied does not change the result, so the most selective index goes first.
    struct Condition {
        int column;
        const std::string* prefix;
    };
    std::vector<Condition> conditions;
    if (p1 != "?") conditions.push_back({art::kGenus, &p1});
    if (p2 != "?") conditions.push_back({art::kSpecies, &p2});
    if (p3 != "?") conditions.push_back({art::kAutor, &p3});
    const bool anyTail = !t1.empty() || !t2.empty() || !t3.empty();
    std::vector<int> rows;
    std::string scratch;
    if (conditions.empty()) {
        if (anyTail) {
            rows.resize(static_cast<std::size_t>(arten_.count()));
            for (int r = 0; r < arten_.count(); ++r) rows[r] = r;
        }
    } else {
        std::size_t best = 0, bestSize = static_cast<std::size_t>(-1);
        std::vector<std::pair<std::size_t, std::size_t>> ranges;
        for (std::size_t k = 0; k < conditions.size(); ++k) {
            ranges.push_back(arten_.index(conditions[k].column).range(*conditions[k].prefix));
            const std::size_t n = ranges.back().second - ranges.back().first;
            if (n < bestSize) {
                best = k;
                bestSize = n;
            }
        }
        const auto& entries = arten_.index(conditions[best].column).entries();
        for (std::size_t i = ranges[best].first; i < ranges[best].second; ++i) {
            const int r = entries[i].row;
            bool ok = true;
            for (std::size_t k = 0; k < conditions.size() && ok; ++k)
                if (k != best)
                    ok = arten_.foldedText(r, conditions[k].column, scratch)
                             .starts_with(*conditions[k].prefix);
            if (ok) rows.push_back(r);
        }
    }
    if (anyTail) {
        std::erase_if(rows, [&](int r) {
            return !tailAfter(arten_.foldedText(r, art::kGenus, scratch), p1, t1) ||
                   !tailAfter(arten_.foldedText(r, art::kSpecies, scratch), p2, t2) ||
                   !tailAfter(arten_.foldedText(r, art::kAutor, scratch), p3, t3);
        });
    }
    if (rows.size() > 1) {
        // Exact names win over names that merely begin like the search text.
        const std::string f1 = upperFold(w.w1), f2 = upperFold(w.w2), fr = upperFold(w.rest);
        std::vector<int> exact;
        for (int r : rows)
            if (arten_.foldedText(r, art::kGenus, scratch) == f1 &&
                arten_.foldedText(r, art::kSpecies, scratch) == f2 &&
                (w.rest == "?" || arten_.foldedText(r, art::kAutor, scratch) == fr))
                exact.push_back(r);
        if (!exact.empty()) rows = std::move(exact);
    }
    for (int r : rows) result.Add(static_cast<int>(arten_.integer(r, art::kPrim).value_or(-1)));
    ma_ = result;
    return result;
}

TMenge TArtDb::SearchInfo(char OC, int n, std::string_view s, bool seq) {
    ma_.Clear();
    int column = -1;
    switch (OC) {
        case 'F':
        case 'f':
            column = art::kFamilie;
            break;
        case 'I':
        case 'i':
            column = n >= 1 && n <= 8 ? art::kInfo01 + n - 1 : -1;
            break;
        case 'N':
            column = n >= 1 && n <= 12 ? art::kSys01 + n - 1 : -1;
            break;
        case 'R':
            column = art::kPrim;
            break;
        case 'T':
        case 't':
            column = n >= 1 && n <= 8 ? art::kTriv01 + n - 1 : -1;
            break;
        default:
            break;
    }
    if (column < 0 || column >= arten_.fieldCount()) return ma_;
    const std::string text(trimBlanks(s.substr(0, s.find('/'))));
    const std::string folded = upperFold(text);
    auto keyOfRow = [&](int row) { return static_cast<int>(arten_.integer(row, art::kPrim).value_or(-1)); };
    if (seq) {
        for (int row = 0; row < arten_.count(); ++row)
            if (upperFold(arten_.text(row, column)).find(folded) != std::string::npos) ma_.Add(keyOfRow(row));
        return ma_;
    }
    std::string prefix = text, tail;
    CheckJoker(prefix, tail, false);
    TMenge M;
    if (prefix == "?") {
        GetAll(M);
    } else {
        M = DoSearch(prefix, column, nullptr);
    }
    if (tail.empty()) {
        if (M.Count() > 1) {
            TMenge exact;
            for (int p : M.elements())
                if (upperFold(field(p, column)) == folded) exact.Add(p);
            if (!exact.empty()) M = exact;
        }
    } else {
        TMenge kept;
        for (int p : M.elements())
            if (tailAfter(upperFold(field(p, column)), prefix, tail)) kept.Add(p);
        M = kept;
    }
    ma_ = M;
    return ma_;
}

bool TArtDb::CheckFilter(int p) const {
    if (!settings_.ValidFilter && !settings_.AccFilter) return true;
    const std::string t = GetT(p, settings_.SystEinst);
    const char c = t.empty() ? ' ' : t.front();
    if (settings_.ValidFilter && std::string_view("AEFGSZ").find(c) == std::string_view::npos) return false;
    if (settings_.AccFilter && std::string_view("AEFGZ").find(c) == std::string_view::npos) return false;
    return true;
}

void TArtDb::RedToFilter() {
    TMenge kept;
    for (int p : ma_.elements())
        if (CheckFilter(p)) kept.Add(p);
    ma_ = kept;
}

void TArtDb::RedToMatchOhneAutor(std::string_view s) {
    if (ma_.Count() <= 1) return;
    const std::string wanted = upperFold(DoGetLatPlain(s.substr(0, s.find('/'))));
    int match = -1, matches = 0;
    for (int p : ma_.elements()) {
        if (upperFold(GetLatPlain(p)) == wanted) {
            match = p;
            ++matches;
        }
    }
    if (matches == 1) {
        ma_.Clear();
        ma_.Add(match);
    }
}

std::string TArtDb::GetLatPlain(int p) const {
    const int row = arten_.rowOfKey(p);
    if (row < 0) return {};
    return DoGetLatPlain(arten_.text(row, art::kGenus) + " " + arten_.text(row, art::kSpecies) + " " +
                         arten_.text(row, art::kAutor));
}

int TArtDb::GetSynRec(int p) const {
    const int row = arten_.rowOfKey(p);
    if (row < 0 || arten_.fieldCount() <= art::kSynRel) return -1;
    const auto ref = arten_.integer(row, art::kSynRel);
    return ref ? keyOfTaxon(*ref) : -1;
}

TMenge TArtDb::synonymGroup(int accepted) const {
    TMenge group;
    if (accepted < 0) return group;
    std::vector<int> todo{accepted};
    group.Add(accepted);
    while (!todo.empty()) {
        const int p = todo.back();
        todo.pop_back();
        const std::int64_t taxon = GetSysNr(p, 1);
        if (taxon == kMissingNumber) continue;
        for (int row : arten_.rowsWithInteger(art::kSynRel, taxon)) {
            const int q = static_cast<int>(arten_.integer(row, art::kPrim).value_or(-1));
            if (q >= 0 && !group.Element(q)) {
                group.Add(q);
                todo.push_back(q);
            }
        }
    }
    return group;
}

int TArtDb::ScanSyn(char OC, int p) {
    ma_.Clear();
    // A key that no record has refers to nothing: it is its own accepted name, as a record whose
    // reference names no record is.
    if (p < 0) return -1;
    int a = p;
    ma_.Add(p);
    for (int next = GetSynRec(a); next >= 0; next = GetSynRec(a)) {
        if (ma_.Element(next)) {
            ma_.Clear();
            return -1;  // a reference cycle: no accepted name
        }
        ma_.Add(next);
        a = next;
    }
    if (OC == 'R') return a;
    ma_ = synonymGroup(a);
    if (OC != 'S') return a;
    for (int q : ma_.elements()) {
        const std::string t = GetT(q, settings_.SystEinst);
        if (t == "A" || t == "Z") return q;
    }
    return a;
}

int TArtDb::SearchSyn(char OC, std::string_view s) {
    Search(s, settings_.OhneAutor);
    if (settings_.OhneAutor) RedToMatchOhneAutor(s);
    if (ma_.Count() != 1) return -1;
    return ScanSyn(OC, ma_.elements().front());
}

bool TArtDb::isSpeciesName(std::string_view name) {
    if (arten_.count() == 0 || arten_.fieldCount() <= art::kAutor) return false;
    // Only a whole genus and epithet names a species here. The search itself matches prefixes, so a header
    // row such as "N" or "Ca" would otherwise find the one genus that begins so and turn every later row
    // into a species row.
    const SearchWords w = splitSearchText(name);
    if (w.all || w.w1 == "?" || w.w2 == "?") return false;
    Search(name, settings_.OhneAutor);
    const std::string genus = upperFold(w.w1), epithet = upperFold(w.w2);
    TMenge whole;
    std::string scratch;
    for (int p : ma_.elements()) {
        const int row = arten_.rowOfKey(p);
        if (row >= 0 && arten_.foldedText(row, art::kGenus, scratch) == genus &&
            arten_.foldedText(row, art::kSpecies, scratch) == epithet)
            whole.Add(p);
    }
    ma_ = whole;
    // A bare "Genus species" in a table means the species, not its aggregate ("... aggr.") or a rank below
    // it: among several records the one with exactly that plain name counts.
    RedToMatchOhneAutor(name);
    return ma_.Count() == 1;
}

std::vector<int> TArtDb::parentsOf(int key, bool DoFilter) const {
    std::vector<int> parents;
    const std::int64_t taxon = GetSysNr(key, 1);
    if (taxon == kMissingNumber || aggr_.fieldCount() < 3) return parents;
    for (int row : aggr_.rowsWithInteger(2, taxon)) {
        const int parent = aggregateOfRow(row);
        if (parent >= 0 && exists(parent) && (!DoFilter || CheckFilter(parent))) parents.push_back(parent);
    }
    return parents;
}

std::vector<int> TArtDb::membersOf(int key) const {
    std::vector<int> members;
    if (aggr_.fieldCount() < 3) return members;
    for (int row : aggr_.rowsWithInteger(1, key)) {
        const int m = keyOfTaxon(aggr_.integer(row, 2).value_or(kMissingNumber));
        if (m >= 0) members.push_back(m);
    }
    std::sort(members.begin(), members.end());
    return members;
}

int TArtDb::ScanAggr(char OC, int p, std::vector<std::string>* L, bool DoFilter) {
    const int a = ScanSyn('R', p);
    if (a < 0) return -1;
    char status = ' ';
    auto listing = [&](int q) { return GetSysStates(q, status); };
    auto cyclic = [&] {
        if (L) L->insert(L->end(), {"", "*** Fehler *** Zyklische Aggregatsstruktur bei " + GetLat(p)});
    };

    // Upward: the aggregates above a, level by level.
    std::vector<int> collected;
    int x = a;
    bool cycle = false;
    if (OC != 'D') {
        std::set<int> seen{a};
        std::vector<int> level{a};
        for (int depth = 0;; ++depth) {
            std::set<int> next;
            for (int q : level)
                for (int parent : parentsOf(q, DoFilter)) next.insert(parent);
            if (next.empty()) break;
            if (depth >= kMaxAggregateLevels) {
                cycle = true;
                break;
            }
            level.assign(next.begin(), next.end());
            x = level.front();
            for (int q : level)
                if (seen.insert(q).second) collected.push_back(q);
            if (OC == 'U') break;
        }
        if (cycle) x = a;
    }

    if (OC == 'D' || OC == 'A' || OC == 'Z') {
        // Downward, level by level; every aggregate is visited once, so a cycle cannot run for ever.
        std::set<int> visited{a};
        std::vector<int> level{a};
        TMenge all;
        bool anyMember = false;
        while (!level.empty()) {
            std::vector<int> next;
            for (int agg : level) {
                const std::vector<int> members = membersOf(agg);
                if (members.empty()) continue;
                anyMember = true;
                // An aggregate that fails the filter is left out of the listing with its members; its
                // members are still walked, so that the aggregates below it that pass are listed.
                const bool listed = L && (OC == 'A' || OC == 'Z') && (!DoFilter || CheckFilter(agg));
                if (listed) {
                    L->insert(L->end(), {"", "// Kleinarten von", listing(agg)});
                    for (int q : synonymGroup(agg).elements())
                        if (q != agg) L->push_back("= " + listing(q));
                    L->push_back("");
                }
                for (int m : members) {
                    const TMenge group = synonymGroup(ScanSyn('R', m) >= 0 ? ScanSyn('R', m) : m);
                    all.Oder(group);
                    if (listed) {
                        int rep = m;
                        if (DoFilter && (settings_.ValidFilter || settings_.AccFilter)) {
                            rep = -1;
                            for (const char* wanted : {"A", "Z", "E"}) {
                                for (int q : group.elements())
                                    if (rep < 0 && GetT(q, settings_.SystEinst) == wanted) rep = q;
                            }
                        }
                        if (rep >= 0) {
                            L->push_back("  - " + listing(rep));
                            for (int q : group.elements())
                                if (q != rep && (!DoFilter || CheckFilter(q)))
                                    L->push_back("     = " + listing(q));
                        }
                    }
                    if (visited.insert(m).second) {
                        next.push_back(m);
                    } else if (!membersOf(m).empty()) {
                        cycle = true;
                    }
                }
            }
            level = std::move(next);
        }
        if (OC == 'A' && !anyMember && L) {
            L->push_back(listing(a));
            for (int q : synonymGroup(a).elements())
                if (q != a) L->push_back("= " + listing(q));
            L->insert(L->end(), {"", "Keine Kleinarten gefunden."});
        }
        if (cycle) cyclic();
        if (OC == 'D') {
            ma_ = all;
            return a;
        }
        // The listing modes answer the top aggregate, as the upward scan found it.
        return x;
    }
    if (OC == 'R' && L) {
        if (collected.empty()) {
            L->insert(L->end(), {listing(a), "keine Sammelarten gefunden."});
        } else {
            L->insert(L->end(), {"Sammelarten mit " + listing(a) + ":", ""});
            for (int agg : collected) {
                L->push_back("  - " + listing(agg));
                for (int q : synonymGroup(agg).elements())
                    if (q != agg) L->push_back("     = " + listing(q));
            }
        }
    }
    if (cycle) cyclic();
    return x;
}

int TArtDb::SearchAggr(char OC, std::string_view s, std::vector<std::string>* L) {
    Search(s, settings_.OhneAutor);
    if (settings_.OhneAutor) RedToMatchOhneAutor(s);
    if (ma_.Count() != 1) return -1;
    const int p = ma_.elements().front();
    const int r = ScanAggr(OC, p, L, true);
    if (!L && r == ScanSyn('R', p)) return -2;
    return r;
}

std::string TArtDb::CheckAggr(std::string_view s) {
    Search(s, settings_.OhneAutor);
    if (ma_.Count() != 1) return "0";
    const int p = ma_.elements().front();
    auto aggregateLetter = [&](int q) {
        const std::string t = GetT(q, 1);
        return t == "Z" || t == "E" || t == "U" ? t : std::string();
    };
    if (std::string t = aggregateLetter(p); !t.empty()) return t;
    const int a = ScanSyn('R', p);
    if (a >= 0)
        if (std::string t = aggregateLetter(a); !t.empty()) return t;
    return "0";
}

}  // namespace tav
