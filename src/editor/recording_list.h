#pragma once
// The command recording of the run. It stays empty until commands write their recording lines; the
// session owns it so that every front end records into the same list.

namespace tav {

class RecordingList {};

}  // namespace tav
