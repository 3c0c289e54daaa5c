#include "editor/statements.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "core/numbers.h"
#include "core/text.h"
#include "editor/caption_path.h"
#include "editor/dispatch.h"
#include "editor/macro_collection.h"
#include "editor/session.h"
#include "env/dialogs.h"

namespace tav {

namespace {

// One field of the running text: [begin, end).
struct Field {
    std::size_t begin;
    std::size_t end;
};

Field fieldAtPos(const std::string& text, std::size_t pos) {
    const std::size_t end = text.find(';', pos);
    return {pos, end == std::string::npos ? text.size() : end};
}

// The run stops: the reason (a catalogue text followed by what it concerns), then the text with the
// marker at the end of the statement, so the user sees which statement it was.
Status stopAt(std::string_view text, std::size_t at, const char* reasonKey, const std::string& what) {
    std::string marked(text.substr(0, at));
    marked += kErrorMarker;
    marked += text.substr(at);
    return Status::failure(Message::key(Severity::Error, reasonKey).add(" " + what + "\n\n" + marked));
}

// A running macro: its text grows where macros are inserted, and the ends of the inserted parts tell how
// deep the statement that runs is nested.
class MacroRun {
  public:
    MacroRun(Session& session, Dispatcher& dispatcher, std::string_view text,
             const MacroCollection* collection)
        : session_(session), dispatcher_(dispatcher), text_(text), collection_(collection) {}

    Status run(std::size_t pos);

  private:
    // Puts the statements of the macro argument names in front of the rest, at next.
    Status insert(std::string_view command, std::string_view argument, std::size_t statementEnd,
                  std::size_t& next);
    Status runCommand(const std::string& command, std::string_view argument, std::size_t statementEnd);

    Session& session_;
    Dispatcher& dispatcher_;
    std::string text_;
    const MacroCollection* collection_;
    std::vector<std::size_t> insertedEnds_;  // innermost last
    bool elseFlag_ = false;
};

Status MacroRun::insert(std::string_view command, std::string_view argument, std::size_t statementEnd,
                        std::size_t& next) {
    const MacroEntry* entry = collection_ ? collection_->find(argument) : nullptr;
    if (!entry)
        return stopAt(text_, statementEnd, "MsgErrSub", std::string(command) + " " + std::string(argument));
    if (static_cast<int>(insertedEnds_.size()) >= kMaxMacroDepth)
        return stopAt(text_, statementEnd, "MacroTooDeep",
                      std::string(command) + " " + std::string(argument));
    if (next > text_.size()) {
        text_ += ';';
        next = text_.size();
    }
    const std::string inserted = entry->contents + ';';
    text_.insert(next, inserted);
    for (std::size_t& end : insertedEnds_) end += inserted.size();
    insertedEnds_.push_back(next + inserted.size());
    return {};
}

Status MacroRun::runCommand(const std::string& command, std::string_view argument, std::size_t statementEnd) {
    const CommandEntry* entry = findByCaptionPath(command, session_.catalogue());
    if (!entry) return stopAt(text_, statementEnd, "MsgErrKey", command);
    const std::string caption = menuCaption(session_.catalogue(), entry->number, entry->caption, false);
    if (session_.stepMode)
        session_.ui().showInfo(command + "\n" + caption + "\n" + std::string(argument));
    else
        session_.progress().setStatus(caption + "\n" + std::string(argument) + "\nAbbruch: ESC");

    MacroAnswers& answers = session_.macroAnswers();
    answers.start(argument);
    const Status done = dispatcher_.execute(session_, *entry, CommandSource::Menu);
    const bool refused = answers.refused();
    answers.stop();
    if (refused)
        return stopAt(text_, statementEnd, "MacroAnswerRefused", command + ";" + std::string(argument));
    if (!done) {
        Status failed = done;
        failed.merge(stopAt(text_, statementEnd, "MacroNotDone", command));
        return failed;
    }
    if (session_.abortRequested || session_.progress().aborted())
        return stopAt(text_, statementEnd, "MacroAborted", command);
    return {};
}

Status MacroRun::run(std::size_t pos) {
    while (pos <= text_.size()) {
        while (!insertedEnds_.empty() && pos >= insertedEnds_.back()) insertedEnds_.pop_back();
        const Field commandField = fieldAtPos(text_, pos);
        const std::string_view raw = trimBlanks(
            std::string_view(text_).substr(commandField.begin, commandField.end - commandField.begin));
        if (raw.empty()) break;
        std::size_t statementEnd = commandField.end;
        std::string argument;
        if (commandField.end < text_.size()) {
            const Field argumentField = fieldAtPos(text_, commandField.end + 1);
            argument = text_.substr(argumentField.begin, argumentField.end - argumentField.begin);
            statementEnd = argumentField.end;
        }
        std::size_t next = statementEnd + 1;
        const std::string command = upperFold(raw);

        if (command.front() == '&') {
            bool inserting = false;
            if (command == "&SUB") {
                inserting = true;
            } else if (command.starts_with("&IF")) {
                // The condition keeps the case it was written in: texts compare case-sensitively.
                const std::optional<bool> holds = evaluateCondition(raw.substr(3), session_);
                if (holds && *holds) inserting = true;
                if (holds && !*holds) elseFlag_ = true;
            } else if (command == "&ELSE") {
                inserting = elseFlag_;
                elseFlag_ = false;
            }
            if (inserting) {
                if (Status s = insert(command, trimBlanks(argument), statementEnd, next); !s) return s;
            }
            pos = next;
            continue;
        }
        elseFlag_ = false;
        if (Status s = runCommand(command, argument, statementEnd); !s) return s;
        pos = next;
    }
    return {};
}

struct Operator {
    std::string_view text;
    int kind;  // 0 =, 1 <>, 2 <, 3 >, 4 <=, 5 >=
};

constexpr std::array<Operator, 7> kOperators{{
    {"!=", 1},
    {"<>", 1},
    {"<=", 4},
    {">=", 5},
    {"<", 2},
    {">", 3},
    {"=", 0},
}};

std::string operand(std::string_view text, const Session& session) {
    const std::string_view t = trimBlanks(text);
    if (t.size() == 2 && (t[0] == '&' || t[0] == '#') && t[1] >= '1' && t[1] <= '8') {
        const std::string& value = session.variables[static_cast<std::size_t>(t[1] - '1')];
        if (t[0] == '&') return value;
        const std::string_view v = trimBlanks(value);
        return std::string(v.substr(0, v.find(' ')));
    }
    std::string literal;
    for (char c : t)
        if (c != '"') literal += c;
    return literal;
}

template <typename T>
bool compare(const T& a, const T& b, int kind) {
    switch (kind) {
        case 0:
            return a == b;
        case 1:
            return a != b;
        case 2:
            return a < b;
        case 3:
            return b < a;
        case 4:
            return !(b < a);
        default:
            return !(a < b);
    }
}

}  // namespace

std::optional<bool> evaluateCondition(std::string_view condition, const Session& session) {
    std::string c(condition);
    for (char& ch : c)
        if (ch == '\'') ch = '"';
    for (const Operator& op : kOperators) {
        const std::size_t at = c.find(op.text);
        if (at == std::string::npos) continue;
        const std::string left = operand(std::string_view(c).substr(0, at), session);
        const std::string right = operand(std::string_view(c).substr(at + op.text.size()), session);
        if (c.find('"') != std::string::npos || c.find('&') != std::string::npos)
            return compare(left, right, op.kind);
        const std::optional<double> a = parseNumber(trimBlanks(left));
        const std::optional<double> b = parseNumber(trimBlanks(right));
        if (!a || !b) return std::nullopt;
        return compare(*a, *b, op.kind);
    }
    return std::nullopt;
}

Status runStatements(Session& session, Dispatcher& dispatcher, std::string_view statements,
                     const MacroCollection* collection) {
    return MacroRun(session, dispatcher, statements, collection).run(0);
}

Status runMacroText(Session& session, Dispatcher& dispatcher, std::string_view macroText,
                    const MacroCollection* collection) {
    const std::size_t header = macroText.find(';');
    if (header == std::string_view::npos) return {};
    return MacroRun(session, dispatcher, macroText, collection).run(header + 1);
}

Status runMacroOverFiles(Session& session, Dispatcher& dispatcher, const MacroCollection& collection,
                         std::string_view macroText, const std::vector<std::string>& files) {
    Status overall;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& file = files[i];
        const Result<ReadResult> opened = session.openTable(file, kLayoutNative, session.progress());
        Status ran = opened.status();
        if (opened.value() == ReadResult::Ok) {
            session.buffer().ClearM();
            ran.merge(runMacroText(session, dispatcher, macroText, &collection));
        } else {
            ran.fail();
        }
        session.report(ran);
        if (!ran) {
            overall.fail();
            if (i + 1 < files.size() &&
                AskYesNoCancel(session.ui(),
                               "Die Datei " + file + "\nwurde nicht fertig bearbeitet. Weiter?") != 'Y')
                break;
        }
        session.abortRequested = false;
    }
    session.ui().showInfo(session.catalogue().GetLangMsg("MsgMakroE"));
    session.setModified(false);
    session.report(session.newTable());
    return overall;
}

}  // namespace tav
