#include "values/deck_inter.h"

#include <cmath>
#include <limits>

#include "core/numbers.h"
#include "core/text.h"
#include "platform/ui_port.h"
#include "values/typed_values.h"

namespace tav {

namespace {

// "a;b;c" gives a, b, c; "a;b;" a, b and one empty entry; "" nothing.
std::vector<std::string> splitList(std::string_view s) {
    return s.empty() ? std::vector<std::string>{} : splitFields(s);
}

constexpr double kUnreadable = std::numeric_limits<double>::quiet_NaN();

std::string at(const std::vector<std::string>& v, std::size_t i) {
    return i < v.size() ? v[i] : std::string();
}

double numberOr(std::string_view s, double otherwise) {
    auto x = parseNumber(trimBlanks(s));
    return x ? *x : otherwise;
}

// The first character of s, whole even where it takes several bytes, so that a cell is never split
// inside a character; blank for an empty s.
std::string firstCharacter(std::string_view s) {
    if (s.empty()) return " ";
    std::size_t end = 0;
    nextCodePoint(s, end);
    return std::string(s.substr(0, end));
}

bool isNa(std::string_view s) {
    return s.size() == 2 && (s[0] == 'N' || s[0] == 'n') && (s[1] == 'A' || s[1] == 'a');
}

// Replaces every occurrence of from in s by to, scanning forward past each inserted text, so that a
// replacement containing its own source cannot run without end. Returns whether anything changed.
// The result is built in a new string: replacing in place moves the rest of the entry on every hit,
// which makes a long cell of sources quadratic.
bool replaceAll(std::string& s, std::string_view from, std::string_view to) {
    if (from.empty()) return false;
    std::size_t pos = s.find(from);
    if (pos == std::string::npos) return false;
    std::string out;
    out.reserve(s.size());
    std::size_t done = 0;
    for (; pos != std::string::npos; pos = s.find(from, done)) {
        out.append(s, done, pos - done);
        out.append(to);
        done = pos + from.size();
    }
    out.append(s, done, std::string::npos);
    s = std::move(out);
    return true;
}

}  // namespace

RDeckCode builtInCoverSystem(int n) {
    RDeckCode d;
    switch (n) {
        case 1:
            d.Titel = "Logarithmisch 1 bis 4";
            d.Typ = "C";
            d.Code = "1;2;3;4";
            d.Seq = "1;2;3;4";
            d.Perc = "0.03;0.31;3.16;31.62";
            d.PeCo = "0.0001;0.1;1.0;10.0";
            d.Legend = "spärlich;zerstreut;reichlich;beherrschend";
            break;
        case 2:
            d.Titel = "Beliebige ganze Zahlen";
            d.Typ = "Integer";
            break;
        case 3:
            d.Titel = "Beliebige Zahlen";
            d.Typ = "Float";
            break;
        case 4:
            d.Titel = "Prozente";
            d.Typ = "Float";
            d.Min = "0";
            d.Max = "100";
            break;
        case 5:
            d.Titel = "Beliebiger Text";
            d.Typ = "Text";
            break;
        case 6:
            d.Titel = "Braun-Blanquet einfach";
            d.Typ = "C";
            d.Code = "r;+;1;2;3;4;5";
            d.Seq = "1;2;3;4;5;6;7";
            d.Perc = "0.03;0.3;2.2;11;35;60;87";
            d.PeCo = "0.0001;0.1;1;5;25;50;75";
            d.ReplaceS = "R";
            d.ReplaceT = "r";
            break;
        case 7:
            d.Titel = "Braun-Blanquet vollständig";
            d.Typ = "C";
            d.Code = "r;r-+;+;+-1;1;1-2;2;2-3;3;3-4;4;4-5;5";
            d.Seq = "1;2;3;4;5;6;7;8;9;10;11;12;13";
            d.Perc = "0.02;0.06;0.2;0.6;1.5;3.5;10;20;31;42;56;68;87";
            d.PeCo = "0.0001;0.03;0.1;0.3;1;2;5;15;25;37.5;50;62.5;75";
            d.SozDelim = ".";
            d.SozCode = d.Code;
            d.SozSeq = d.Seq;
            d.AttrCode = "V;(;);°";
            d.AttrTyp = "Undef;Exclude;Exclude;Ignore";
            d.ReplaceS = "R;v;0";
            d.ReplaceT = "r;V;°";
            break;
        case 8:
            d.Titel = "Bischof";
            d.Typ = "C";
            d.Code = "-;+;1;2;3;4;5;6";
            d.Seq = "1;2;3;4;5;6;7;8";
            d.Perc = "0.3;1.7;3.2;7.8;17;35;60;87";
            d.PeCo = "0.0001;1;2;5;12;25;50;75";
            break;
        case 9:
            d.Titel = "Dietl";
            d.Typ = "C";
            d.Code = "1;2;3;4;5;6;7;8;9";
            d.Perc = "0.3;1.4;3.2;6.7;12;20;32;49;78";
            d.PeCo = "0.0001;1;2;5;9;15;25;40;60";
            break;
        default:
            break;
    }
    return d;
}

TDeckInter::TDeckInter(const RDeckCode& dc, const CoverSettings& settings) : settings_(settings) {
    titel_ = dc.Titel;
    typ_ = dc.Typ.empty() ? ' ' : dc.Typ.front();
    sozDelim_ = firstCharacter(dc.SozDelim);
    min_ = numberOr(dc.Min, kMissing);
    max_ = numberOr(dc.Max, kMissing);
    if (typ_ == 'P') {
        if (isMissing(min_) || min_ < 0) min_ = 0;
        if (isMissing(max_) || max_ > 100) max_ = 100;
    }

    const auto code = splitList(dc.Code), seq = splitList(dc.Seq), perc = splitList(dc.Perc),
               peco = splitList(dc.PeCo), legend = splitList(dc.Legend);
    for (std::size_t i = 0; i < code.size(); ++i) {
        code_.push_back(code[i] + ';' + at(seq, i) + ';' + at(perc, i) + ';' + at(peco, i) + ';' +
                        at(legend, i));
        CodeInfo c;
        c.code = code[i];
        c.seq = numberOr(at(seq, i), kUnreadable);
        c.perc = numberOr(at(perc, i), kUnreadable);
        c.peco = numberOr(at(peco, i), kUnreadable);
        c.upper = i + 1 < code.size() ? numberOr(at(peco, i + 1), kUnreadable) : 100.0;
        c.codeAsNumber = numberOr(code[i], 0.0);
        codeIndex_.emplace(c.code, static_cast<int>(codes_.size()));  // the first of equal codes wins
        codes_.push_back(std::move(c));
    }
    const auto soz = splitList(dc.SozCode), sozSeq = splitList(dc.SozSeq);
    for (std::size_t i = 0; i < soz.size(); ++i) {
        soz_.push_back(soz[i] + ';' + at(sozSeq, i));
        sozWeight_.emplace(soz[i], numberOr(at(sozSeq, i), 0.0));
    }
    const auto attr = splitList(dc.AttrCode), attrTyp = splitList(dc.AttrTyp);
    for (std::size_t i = 0; i < attr.size(); ++i) {
        attr_.push_back(attr[i] + ';' + at(attrTyp, i));
        const std::string kind = upperFold(trimBlanks(at(attrTyp, i)));
        if (!attr[i].empty())
            marks_.push_back({attr[i], kind.empty()          ? 'I'
                                       : kind.front() == 'E' ? 'E'
                                       : kind.front() == 'U' ? 'U'
                                                             : 'I'});
    }
    const auto from = splitList(dc.ReplaceS), to = splitList(dc.ReplaceT);
    for (std::size_t i = 0; i < from.size(); ++i) {
        replace_.push_back(from[i] + ';' + at(to, i));
        if (!from[i].empty()) replacements_.emplace_back(from[i], at(to, i));
    }

    // Built-in numeric and text systems are recognised by their number; a definition file by its kind, so
    // that a file of kind Integer, Float, Percent or Text reads numbers and text rather than codes.
    switch (settings_.DeckEinst) {
        case 2:
        case 3:
        case 4:
            branch_ = Branch::Numbers;
            break;
        case 5:
            branch_ = Branch::Text;
            break;
        case 10:
            branch_ = (typ_ == 'I' || typ_ == 'F' || typ_ == 'P') ? Branch::Numbers
                      : typ_ == 'T'                               ? Branch::Text
                                                                  : Branch::Codes;
            break;
        default:
            branch_ = Branch::Codes;
    }
    plain_ = replacements_.empty() && marks_.empty() && sozDelim_ == " ";
}

CoverCounts& CoverCounts::operator+=(const CoverCounts& other) {
    CodeErrCt += other.CodeErrCt;
    SozErrCt += other.SozErrCt;
    UndefCt += other.UndefCt;
    ExcludeCt += other.ExcludeCt;
    IgnoreCt += other.IgnoreCt;
    return *this;
}

bool CoverCounts::empty() const {
    return CodeErrCt == 0 && SozErrCt == 0 && UndefCt == 0 && ExcludeCt == 0 && IgnoreCt == 0;
}

std::string TDeckInter::marksOf(char kind) const {
    std::string s;
    for (const Mark& m : marks_)
        if (m.kind == kind) s += " " + m.mark + " ";
    return s + " .";
}

std::string CoverCounts::message(const TDeckInter& system) const {
    const std::string CR = "\r";
    std::string msg;
    if (CodeErrCt > 0)
        msg += std::to_string(CodeErrCt) + " mal eine ungültige Deckung ignoriert bzw. als NA behandelt." +
               CR + "Stimmt die Einstellung bei Optionen, Deckungscode wählen?" + CR;
    if (SozErrCt > 0)
        msg += CR + std::to_string(SozErrCt) + " mal eine ungültige Soziabilität angetroffen." + CR;
    if (UndefCt > 0)
        msg += CR + std::to_string(UndefCt) +
               " mal für eine undefinierte Deckung den kleinsten Wert eingesetzt." + CR +
               "Undefinierte Deckungen sind: " + system.marksOf('U') + CR;
    if (ExcludeCt > 0)
        msg += CR + std::to_string(ExcludeCt) + " mal eine Deckung ausgeschlossen (d.h. 0 gesetzt)." + CR +
               "Auszuschliessen sind Deckungen mit: " + system.marksOf('E') + CR;
    if (IgnoreCt > 0)
        msg += CR + std::to_string(IgnoreCt) + " mal in einer Deckung Zeichen ignoriert." + CR +
               "Zu ignorieren sind: " + system.marksOf('I');
    return msg;
}

void CoverCounts::CheckErrCount(const TDeckInter& system, UiPort& ui) const {
    if (std::string msg = message(system); !msg.empty()) ui.showInfo(msg);
}

char TDeckInter::percentMode() const {
    switch (settings_.GesDeckEinst) {
        case 2:
            return 'A';
        case 3:
            return 'I';
        default:
            return 'E';
    }
}

double TDeckInter::valueOf(const CodeInfo& c, char mode) const {
    double v;
    switch (mode) {
        case 'S':
            v = c.seq;
            break;
        case 'E':
            v = c.perc;
            break;
        case 'I':
            v = c.peco;
            break;
        case 'A':
            v = c.upper;
            break;
        case 'Z':
            return 0;  // a code without a sociability part has no sociability weight
        default:
            return 0;
    }
    return std::isnan(v) ? c.codeAsNumber : v;
}

bool TDeckInter::CodeToVal(char OC, bool NaAccept, std::string& s, int& Cpos, double& x,
                           CoverCounts& counts) const {
    if (branch_ == Branch::Numbers) {
        std::string_view t = trimBlanks(s);
        const bool whole = settings_.DeckEinst == 2 || (settings_.DeckEinst == 10 && typ_ == 'I');
        if (t.empty()) {
            x = 0;
            return true;
        }
        if (whole) {
            if (auto n = parseInteger(t)) {
                x = static_cast<double>(*n);
                return true;
            }
        } else if (auto v = parseNumber(t)) {
            x = *v;
            return true;
        }
        if (NaAccept && isNa(t)) {
            x = whole ? 1 : 0.01;
            return false;
        }
        ++counts.CodeErrCt;
        return false;
    }
    if (branch_ == Branch::Text) {
        x = trimBlanks(s).empty() ? 0 : 1;
        return true;
    }

    const char mode = OC == 'D' ? percentMode() : OC;
    x = 0;
    if (plain_) {
        // No replacement, mark or sociability can change the entry: one lookup.
        std::string_view t = trimBlanks(s);
        if (t.empty()) return true;
        if (NaAccept && isNa(t)) t = codes_.empty() ? t : std::string_view(codes_.front().code);
        auto it = codeIndex_.find(t);
        if (it == codeIndex_.end()) {
            ++counts.CodeErrCt;
            Cpos = -1;
            return false;
        }
        Cpos = it->second;
        x = valueOf(codes_[it->second], mode);
        if (NaAccept && isNa(trimBlanks(s))) s = "NA";
        return true;
    }

    std::string t(trimBlanks(s));
    for (const auto& [from, to] : replacements_) replaceAll(t, from, to);
    bool ok = true;
    if (!t.empty()) {
        std::string u = t;
        for (const Mark& m : marks_) {
            if (u.find(m.mark) == std::string::npos) continue;
            if (m.kind == 'E') {
                u.clear();
                ++counts.ExcludeCt;
            } else if (m.kind == 'U') {
                replaceAll(u, m.mark, codes_.empty() ? std::string() : codes_.front().code);
                ++counts.UndefCt;
            } else {
                replaceAll(u, m.mark, "");
                ++counts.IgnoreCt;
            }
        }
        bool sozTaken = false;
        if (sozDelim_ != " ") {
            std::size_t d = u.find(sozDelim_);
            if (d != std::string::npos) {
                auto w = sozWeight_.find(std::string_view(u).substr(d + sozDelim_.size()));
                if (w == sozWeight_.end()) {
                    ++counts.SozErrCt;
                    ok = false;
                } else if (mode == 'Z') {
                    x = w->second;
                    sozTaken = true;
                }
                u.resize(d);
            }
        }
        if (u.empty()) {
            x = 0;
            Cpos = 0;
        } else {
            if (NaAccept && isNa(u) && !codes_.empty()) u = codes_.front().code;
            auto it = codeIndex_.find(u);
            if (it == codeIndex_.end()) {
                ++counts.CodeErrCt;
                Cpos = -1;
                ok = false;
            } else {
                Cpos = it->second;
                if (!sozTaken) x = valueOf(codes_[it->second], mode);
            }
        }
    }
    if (ok) s = t;
    if (NaAccept && isNa(s)) s = "NA";
    return ok;
}

bool TDeckInter::DeckVal(char OC, std::string& s, double& x, bool NaAccept, CoverCounts& counts) const {
    if (std::string_view t = trimBlanks(s); t.size() != s.size()) s = std::string(t);
    switch (typ_) {
        case 'C': {
            int cpos = 0;
            return CodeToVal(OC, NaAccept, s, cpos, x, counts);
        }
        case 'F':
        case 'I':
        case 'P': {
            const bool ok = NumVal(typ_, true, NaAccept, max_, min_, x, s);
            // An accepted "NA" is valid; anything else that fails is an invalid cover worth reporting.
            if (!ok) ++counts.CodeErrCt;
            return ok;
        }
        case 'T':
            x = s.empty() ? 0 : 1;
            return true;
        default:
            return true;
    }
}

std::string TDeckInter::ValToCode(char OC, double x) const {
    if (!(x > 0)) return {};
    if (typ_ != 'C') return formatNumber(x, settings_.Decimals);
    if (codes_.empty()) return formatNumber(x, settings_.Decimals);
    for (std::size_t i = 0; i < codes_.size(); ++i) {
        const double v = OC == 'P' ? codes_[i].peco : codes_[i].seq;
        if (std::isnan(v)) return formatNumber(x, settings_.Decimals);
        if (v > x) return i == 0 ? std::string("NA") : codes_[i - 1].code;
    }
    return codes_.back().code;
}

}  // namespace tav
