// The companion's template jobs (write, submit) run with the record store's steps, as the window's
// do.
#include "store/templatesteps.h"

namespace {
const bool installed = (InstallRecordStoreSteps(), true);
}
