#include "editor/statements.h"

#include <string>
#include <vector>

#include "core/text.h"
#include "editor/caption_path.h"
#include "editor/dispatch.h"
#include "editor/session.h"

namespace tav {

namespace {

struct Field {
    std::size_t begin;
    std::size_t end;
};

std::vector<Field> fieldsOf(std::string_view text) {
    std::vector<Field> fields;
    for (FieldReader r(text); const auto f = r.next();) {
        const auto begin = static_cast<std::size_t>(f->data() - text.data());
        fields.push_back({begin, begin + f->size()});
    }
    return fields;
}

std::string_view trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The run stops: the reason (a catalogue text followed by what it concerns), then the text with the
// marker at the end of the statement, so the user sees which statement it was.
Status stopAt(std::string_view text, std::size_t at, const char* reasonKey, const std::string& what) {
    std::string marked(text.substr(0, at));
    marked += kErrorMarker;
    marked += text.substr(at);
    return Status::failure(Message::key(Severity::Error, reasonKey).add(": " + what + "\n\n" + marked));
}

Status run(Session& session, Dispatcher& dispatcher, std::string_view text, std::size_t firstField) {
    const std::vector<Field> fields = fieldsOf(text);
    for (std::size_t i = firstField; i < fields.size(); i += 2) {
        const std::string_view raw = text.substr(fields[i].begin, fields[i].end - fields[i].begin);
        const std::string command = upperFold(trimmed(raw));
        if (command.empty()) break;
        const bool hasArgument = i + 1 < fields.size();
        const std::string_view argument =
            hasArgument ? text.substr(fields[i + 1].begin, fields[i + 1].end - fields[i + 1].begin)
                        : std::string_view();
        const std::size_t end = hasArgument ? fields[i + 1].end : fields[i].end;

        if (command.front() == '&') {
            if (command == "&SUB" || command.starts_with("&IF") || command == "&ELSE")
                return stopAt(text, end, "MacroNoCollection", command);
            continue;  // any other control statement does nothing
        }
        const CommandEntry* entry = findByCaptionPath(command, session.catalogue());
        if (!entry) return stopAt(text, end, "MacroUnknownCommand", command);

        MacroAnswers& answers = session.macroAnswers();
        answers.start(argument);
        const Status done = dispatcher.execute(session, *entry, CommandSource::Menu);
        const bool refused = answers.refused();
        answers.stop();
        if (refused) return stopAt(text, end, "MacroAnswerRefused", command + ";" + std::string(argument));
        if (!done) {
            Status failed = done;
            failed.merge(stopAt(text, end, "MacroNotDone", command));
            return failed;
        }
        if (session.abortRequested) return stopAt(text, end, "MacroAborted", command);
    }
    return {};
}

}  // namespace

Status runStatements(Session& session, Dispatcher& dispatcher, std::string_view statements) {
    return run(session, dispatcher, statements, 0);
}

Status runMacroText(Session& session, Dispatcher& dispatcher, std::string_view macroText) {
    return run(session, dispatcher, macroText, 1);
}

}  // namespace tav
