#pragma once
// The cover-code interpreter. Cover values in the species part are written in the cover-code system of
// the work environment (an ordinal scale such as Braun-Blanquet, plain numbers, percentages or mere
// presence). TDeckInter checks a cell, normalises it and turns it into a presence weight, a percentage
// or a sociability weight, turns numbers back into codes and steps a cell along the pen cycle. It does
// not change while it reads: the invalid, excluded, ignored and undefined entries of one operation are
// counted in the caller's CoverCounts, which gives the one report at the operation's end.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/status.h"

namespace tav {

class UiPort;

// A system's definition: lists separated by ";" and parallel by position.
struct RDeckCode {
    std::string Titel, Typ, Code, Seq, Perc, PeCo, Min, Max, Legend, SozDelim, SozCode, SozSeq, AttrCode,
        AttrTyp, ReplaceS, ReplaceT;
};

// The settings the interpreter reads.
struct CoverSettings {
    int DeckEinst = 6;      // 1 … 9 built-in systems, 10 the definition file DeckName
    int GesDeckEinst = 1;   // percentage of mode 'D': 1 mean ('E'), 2 upper limit ('A'), 3 lower limit ('I')
    bool NaAccept = false;  // "NA" is an accepted entry
    int Decimals = 8;       // digits after the point of computed values
    std::string DeckName;   // definition file of system 10
};

// The built-in system number n (1 … 9); an empty definition for any other n.
RDeckCode builtInCoverSystem(int n);

// Reads a definition file; a file that cannot be read fails with the reason alone.
Result<RDeckCode> readCoverDefinition(const std::string& fname);
// Why a definition read from a file cannot serve as a cover-code system (no kind, an unknown kind, a
// code system without codes); empty when it can.
std::string coverDefinitionProblem(const RDeckCode& dc);

class TDeckInter;
// The active interpreter for the settings: built-in systems 1 … 9, 10 the definition file DeckName, an
// empty definition for any other number. The result always holds an interpreter: a missing definition
// file gives system 1 and an information in the status; a definition file that exists but cannot be used
// (not a regular file, unreadable, no usable definition) gives system 1 too, and a failed status with
// the reason, so that the caller decides whether it can go on with the fallback.
Result<TDeckInter> makeCoverInterpreter(const CoverSettings& settings);

// What one operation met that the system could not take as written: invalid covers, invalid
// sociabilities, undefined covers (read as the smallest code), excluded covers (read as 0) and covers with
// ignored characters.
struct CoverCounts {
    int CodeErrCt = 0, SozErrCt = 0, UndefCt = 0, ExcludeCt = 0, IgnoreCt = 0;

    CoverCounts& operator+=(const CoverCounts& other);
    bool empty() const;
    bool operator==(const CoverCounts&) const = default;

    // The information message about the positive counts, naming the marks of system; empty when all
    // counts are 0.
    std::string message(const TDeckInter& system) const;
    // Shows that message as an information; nothing when all counts are 0.
    void CheckErrCount(const TDeckInter& system, UiPort& ui) const;
};

class TDeckInter {
  public:
    TDeckInter() : TDeckInter(builtInCoverSystem(1), CoverSettings{}) {}
    TDeckInter(const RDeckCode& dc, const CoverSettings& settings);

    // Interprets entry s (blanks around it removed, normalised on return) in mode OC: 'S' weight,
    // 'D' percentage as GesDeckEinst says, 'E' percentage, 'I' lower limit, 'A' upper limit,
    // 'Z' sociability weight, ' ' only the position. What the entry needed (an invalid code, a mark ...)
    // is added to counts.
    bool DeckVal(char OC, std::string& s, double& x, bool NaAccept, CoverCounts& counts) const;
    bool CodeToVal(char OC, bool NaAccept, std::string& s, int& Cpos, double& x, CoverCounts& counts) const;
    std::string ValToCode(char OC, double x) const;

    // The editor's pen: the next or previous entry of a species cell.
    void PenNext(std::string& s) const;
    void PenPrior(std::string& s) const;

    // Writes the definition file template; with CodeOut the values of this system.
    Status WriteToFile(bool CodeOut, const std::string& fname) const;

    // ---- the definition, named as the rest of the program knows it
    const std::string& Titel() const { return titel_; }
    char Typ() const { return typ_; }
    // One whole character (of one or more bytes in UTF-8); blank when the system has no sociability.
    const std::string& SozDelim() const { return sozDelim_; }
    double Min() const { return min_; }
    double Max() const { return max_; }
    const std::vector<std::string>& Code() const { return code_; }        // code;seq;perc;peco;legend
    const std::vector<std::string>& Soz() const { return soz_; }          // code;weight
    const std::vector<std::string>& Attr() const { return attr_; }        // mark;kind
    const std::vector<std::string>& Replace() const { return replace_; }  // from;to

    const CoverSettings& settings() const { return settings_; }
    // True when no replacement, mark or sociability can change an entry before the code lookup.
    bool plainCodes() const { return plain_; }

  private:
    friend struct CoverCounts;
    // The marks of kind 'I' (ignore), 'E' (exclude) or 'U' (undefined), as the report of the counts
    // names them.
    std::string marksOf(char kind) const;

    enum class Branch { Numbers, Text, Codes };
    struct CodeInfo {
        std::string code;
        double seq, perc, peco, upper;  // parsed; NaN where unreadable
        double codeAsNumber;            // the code itself read as a number, 0 when it is none
    };
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
    };
    double valueOf(const CodeInfo& c, char mode) const;
    char percentMode() const;

    std::string titel_;
    char typ_ = ' ';
    std::string sozDelim_ = " ";
    double min_;
    double max_;
    std::vector<std::string> code_, soz_, attr_, replace_;

    CoverSettings settings_;
    Branch branch_ = Branch::Codes;
    bool plain_ = true;
    std::vector<CodeInfo> codes_;
    std::unordered_map<std::string, int, Hash, std::equal_to<>> codeIndex_;
    std::unordered_map<std::string, double, Hash, std::equal_to<>> sozWeight_;
    struct Mark {
        std::string mark;
        char kind;  // 'I', 'E', 'U'
    };
    std::vector<Mark> marks_;
    std::vector<std::pair<std::string, std::string>> replacements_;
};

}  // namespace tav
