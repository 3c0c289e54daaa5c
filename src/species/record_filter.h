#pragma once
// The filter condition of a record set, parsed once into a tree and then evaluated for each row in
// memory. Grammar, keywords ignoring letter case:
//   expr       := term { (OR | XOR) term }
//   term       := factor { AND factor }
//   factor     := NOT factor | '(' expr ')' | comparison
//   comparison := field op constant | constant op field        op: = <> != < > <= >=
// A field is a name of letters, digits, '_' and '.' (not starting with a digit), or any name in double
// quotes ("" inside for one quote). A constant is a number or text in single quotes ('' inside for one
// quote).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "species/record_set.h"

namespace tav {

// What the filter reads from the table. foldedText gives the value as text folded to upper case; it may
// point into scratch or into storage that stays valid until the table changes.
class FilterValues {
  public:
    virtual ~FilterValues() = default;
    virtual FieldType fieldType(int field) const = 0;
    virtual bool isEmpty(int row, int field) const = 0;
    virtual std::optional<std::int64_t> integer(int row, int field) const = 0;
    virtual std::optional<double> number(int row, int field) const = 0;
    virtual std::string_view foldedText(int row, int field, std::string& scratch) const = 0;
};

class RecordFilter {
  public:
    enum class Op { Eq, Ne, Lt, Gt, Le, Ge };

    // Parses condition; fieldOf resolves a field name to its index (-1 when unknown) and fieldTypes gives
    // the type of each field. False with a message naming the problem and its character position (from
    // 1) when the text is not a condition; the filter is then empty. A blank condition gives an empty
    // filter that every row passes.
    bool parse(std::string_view condition, const std::function<int(std::string_view)>& fieldOf,
               const std::vector<FieldType>& fieldTypes, std::string& error);
    bool empty() const { return nodes_.empty(); }
    void clear() { nodes_.clear(); }
    bool passes(int row, const FilterValues& values) const;

  private:
    // Any: kids joined left to right by OR, or by XOR where xors says so; All: kids joined by AND.
    // Chains instead of binary nodes keep long conditions flat, so evaluating them needs no deep recursion.
    enum class Kind { Any, All, Not, Compare };
    struct Node {
        Kind kind = Kind::Compare;
        std::vector<int> kids;
        std::vector<bool> xors;  // Any: xors[i] joins kids[i] to what precedes it (xors[0] unused)
        int field = -1;
        Op op = Op::Eq;
        bool numeric = false;   // numeric field against a number constant
        bool integral = false;  // ... and the constant is an integer, compared without rounding
        std::int64_t integerValue = 0;
        double numberValue = 0;
        std::string folded;  // the constant as folded text, for text comparisons
    };
    bool evaluate(int node, int row, const FilterValues& values, std::string& scratch) const;
    bool compare(const Node& n, int row, const FilterValues& values, std::string& scratch) const;

    friend class FilterParser;
    std::vector<Node> nodes_;
    int root_ = -1;
};

}  // namespace tav
