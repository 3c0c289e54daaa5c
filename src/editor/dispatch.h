#pragma once
// The dispatcher: the one way a command of the registry runs, whether a menu item, a tool button or a
// macro statement triggered it. It writes the recording line first, then runs the handler registered for
// the command's number. A command without a handler says so and fails, so that a macro never goes on as
// if it had run.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/status.h"
#include "editor/commands/command_entry.h"

namespace tav {

class Session;

enum class CommandSource { Menu, Button };

using CommandHandler = std::function<Status(Session&, const CommandEntry&)>;
// Most handlers need only the session.
using SessionHandler = std::function<Status(Session&)>;

class Dispatcher {
  public:
    // With the handlers of every command that is built.
    Dispatcher();
    // Handlers may keep a reference to their dispatcher (to run statements): it stays where it is.
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    // Replaces the handler of a number.
    void add(std::int64_t number, CommandHandler handler);
    void add(std::int64_t number, SessionHandler handler);
    // The few commands without a number are named by their caption.
    void addUnnumbered(std::string_view caption, CommandHandler handler);
    bool available(std::int64_t number) const { return handlers_.count(number) != 0; }
    bool available(const CommandEntry& entry) const;

    // Runs after every command that ran, failed or not: the desktop redraws its grids here.
    std::function<void(Session&, const CommandEntry&)> redisplay;

    // Records the command (when recording is on and the command is one that records), then runs it and
    // reports the invalid cover codes it met once. A submenu does nothing. A command that is not
    // implemented shows its own text, one that is not built yet "<caption>: noch nicht verfügbar."; both
    // fail.
    Status execute(Session& session, const CommandEntry& entry, CommandSource source);

  private:
    const CommandHandler* handlerOf(const CommandEntry& entry) const;

    std::unordered_map<std::int64_t, CommandHandler> handlers_;
    std::unordered_map<const CommandEntry*, CommandHandler> unnumbered_;
};

// The recording line of a command as the session stands: kind, number, caption in the current
// language, the cursor, the non-empty mark sets and the selection rectangle.
std::string recordingLine(const Session& session, const CommandEntry& entry, CommandSource source);

// Whether the command writes a recording line when it runs; a few never do.
bool isRecorded(const CommandEntry& entry);

}  // namespace tav
