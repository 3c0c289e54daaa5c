#pragma once
// The session the editing benchmarks work in: the program's catalogue and default settings in a work
// folder, and a native table read into it.

#include "editor/session.h"

namespace tav::bench {

inline bool startSession(Session& session, const char* catalogue, const char* workdir) {
    StartOptions o;
    o.catalogueFile = catalogue;
    o.dataFolder = workdir;
    o.settingsSource = SettingsSource::Defaults;
    return session.start(o).ok();
}

inline bool openTable(Session& session, const char* table) {
    return session.openTable(table, kLayoutNative, noProgress()).value() == ReadResult::Ok;
}

}  // namespace tav::bench
