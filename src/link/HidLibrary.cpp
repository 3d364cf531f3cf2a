#include "link/HidLibrary.h"

#include <hidapi/hidapi.h>

namespace kv58 {

namespace {
// The library's state is process-wide, and so is this record of it.
bool initialised = false; // NOLINT(cppcoreguidelines-avoid-non-const-global-variables): see above
} // namespace

bool initHidLibrary()
{
    if (!initialised)
        initialised = hid_init() == 0;
    return initialised;
}

void exitHidLibrary()
{
    if (initialised)
        hid_exit();
    initialised = false;
}

} // namespace kv58
