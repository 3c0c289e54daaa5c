#include "platform/progress.h"

namespace tav {

Progress& noProgress() {
    static thread_local Progress p;
    p.clearAbort();
    return p;
}

}  // namespace tav
