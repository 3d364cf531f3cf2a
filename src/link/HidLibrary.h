// Start and end of the HID library. hidapi is not thread-safe: the program's main() calls
// initHidLibrary() before any thread starts; later calls do nothing.
#pragma once

namespace kv58 {

bool initHidLibrary();
void exitHidLibrary();

} // namespace kv58
