// The editor's pen: species cells step along the cover-code system, header cells along the cycle of
// their row type. For codes, answers and NA the backward step is the forward cycle walked the other way,
// so a click with the other button undoes a click; numbers go down in coarser steps than they go up.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"
#include "values/deck_inter.h"
#include "values/pen.h"

namespace tav {

namespace {

struct Step {
    std::string_view from, to;
};

// The forward number cycle; blank (empty) is its start and its end.
constexpr std::array<Step, 19> kNumberNext{{{"", "0"},
                                            {"0", "0.1"},
                                            {"0.1", "0.3"},
                                            {"0.3", "1"},
                                            {"1", "2"},
                                            {"2", "5"},
                                            {"5", "10"},
                                            {"10", "15"},
                                            {"15", "20"},
                                            {"20", "25"},
                                            {"25", "30"},
                                            {"30", "40"},
                                            {"40", "50"},
                                            {"50", "60"},
                                            {"60", "70"},
                                            {"70", "80"},
                                            {"80", "90"},
                                            {"90", "100"},
                                            {"100", ""}}};
// An entry typed by hand continues from the cycle value its first digit stands for.
constexpr std::array<std::string_view, 10> kNumberNextByDigit{"1",  "2",  "5",  "40", "50",
                                                              "10", "70", "80", "90", "100"};

// Backwards the cycle uses the coarser steps a user goes down with: 25 and 0 are only reached forwards.
constexpr std::array<Step, 18> kNumberPrior{{{"", "100"},
                                             {"100", "90"},
                                             {"90", "80"},
                                             {"80", "70"},
                                             {"70", "60"},
                                             {"60", "50"},
                                             {"50", "40"},
                                             {"40", "30"},
                                             {"30", "20"},
                                             {"25", "20"},
                                             {"20", "15"},
                                             {"15", "10"},
                                             {"10", "5"},
                                             {"5", "2"},
                                             {"2", "1"},
                                             {"1", "0.3"},
                                             {"0.3", "0.1"},
                                             {"0.1", ""}}};
constexpr std::array<std::string_view, 10> kNumberPriorByDigit{"",  "0.3", "1",  "20", "30",
                                                               "2", "50",  "60", "70", "80"};

bool isNa(std::string_view e) {
    return e.size() == 2 && (e[0] == 'N' || e[0] == 'n') && (e[1] == 'A' || e[1] == 'a');
}

std::string numberStep(char kind, std::string_view e, const auto& cycle, const auto& byDigit, bool forward) {
    // Whole numbers have no fractions between 0 and 1.
    if (kind == 'I' && forward && e == "0") return "1";
    if (kind == 'I' && !forward && e == "1") return "";
    for (const Step& st : cycle)
        if (st.from == e) return std::string(st.to);
    if (e.empty() || e[0] < '0' || e[0] > '9') return "";
    if (kind == 'I' && !forward && e[0] == '1') return "";
    return std::string(byDigit[static_cast<std::size_t>(e[0] - '0')]);
}

// Yes/no answers: 1 Ja, 2 Nein, 3 Unsicher (rows of type 'U' only), 0 blank, -1 anything else.
int answerOf(char rowType, std::string_view e) {
    if (e.empty()) return 0;
    switch (e[0]) {
        case 'J':
        case 'j':
        case 'Y':
        case 'y':
            return 1;
        case 'N':
        case 'n':
            return 2;
        case 'U':
        case 'u':
            return rowType == 'U' ? 3 : -1;
        default:
            return -1;
    }
}

constexpr std::array<std::string_view, 4> kAnswers{"", "Ja", "Nein", "Unsicher"};

std::string_view codeOf(const std::string& line) {
    return fieldAt(line, 0);
}

int codePosition(const std::vector<std::string>& codes, std::string_view e) {
    for (std::size_t i = 0; i < codes.size(); ++i)
        if (codeOf(codes[i]) == e) return static_cast<int>(i);
    return -1;
}

}  // namespace

void PenNumberNext(char kind, std::string& s) {
    s = numberStep(kind, trimBlanks(s), kNumberNext, kNumberNextByDigit, true);
}

void PenNumberPrior(char kind, std::string& s) {
    s = numberStep(kind, trimBlanks(s), kNumberPrior, kNumberPriorByDigit, false);
}

void PenNextHeader(char rowType, std::string& s) {
    if (rowType == 'P') {
        PenNumberNext('P', s);
    } else if (rowType == 'B' || rowType == 'U') {
        const int last = rowType == 'U' ? 3 : 2;
        const int a = answerOf(rowType, trimBlanks(s));
        // Something that is no answer is replaced by the first one.
        s = kAnswers[static_cast<std::size_t>(a < 0 ? 1 : a == last ? 0 : a + 1)];
    }
}

void PenPriorHeader(char rowType, std::string& s) {
    if (rowType == 'P') {
        PenNumberPrior('P', s);
    } else if (rowType == 'B' || rowType == 'U') {
        const int last = rowType == 'U' ? 3 : 2;
        const int a = answerOf(rowType, trimBlanks(s));
        // Backwards something that is no answer is cleared, as an unknown code is.
        s = kAnswers[static_cast<std::size_t>(a < 0 ? 0 : a == 0 ? last : a - 1)];
    }
}

void TDeckInter::PenNext(std::string& s) const {
    std::string e(trimBlanks(s));
    // With NaAccept the cycle is blank → NA → first … last → blank.
    if (e.empty() && settings_.NaAccept) {
        s = "NA";
        return;
    }
    if (isNa(e)) e.clear();
    switch (typ_) {
        case 'C': {
            const int p = e.empty() ? -1 : codePosition(code_, e);
            const std::size_t next = p < 0 ? 0 : static_cast<std::size_t>(p) + 1;
            e = next < code_.size() ? std::string(codeOf(code_[next])) : std::string();
            break;
        }
        case 'F':
        case 'I':
        case 'P':
            PenNumberNext(typ_, e);
            break;
        case 'T':
            e = e.empty() ? "1" : "";
            break;
        default:
            break;
    }
    s = e;
}

void TDeckInter::PenPrior(std::string& s) const {
    std::string e(trimBlanks(s));
    if (isNa(e)) {
        if (settings_.NaAccept) {
            s.clear();
            return;
        }
        e.clear();
    }
    switch (typ_) {
        case 'C': {
            const int p = e.empty() ? static_cast<int>(code_.size()) : codePosition(code_, e);
            e = p > 0 ? std::string(codeOf(code_[static_cast<std::size_t>(p - 1)])) : std::string();
            break;
        }
        case 'F':
        case 'I':
        case 'P':
            PenNumberPrior(typ_, e);
            break;
        case 'T':
            e = e.empty() ? "1" : "";
            break;
        default:
            break;
    }
    // Mirror of the forward step blank → NA: going back, NA lies between the first entry and blank,
    // so nothing reaches blank except NA itself.
    if (e.empty() && settings_.NaAccept) e = "NA";
    s = e;
}

}  // namespace tav
