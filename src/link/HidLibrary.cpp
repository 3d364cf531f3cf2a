#include "link/HidLibrary.h"

#include <hidapi/hidapi.h>

namespace kv58 {

namespace {
bool initialised = false;
}

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
