#pragma once
// Golden pictures of the item tests: a window's picture compared pixel for pixel with a
// PNG checked in under tests/golden/. Setting PAGEKIT_WRITE_GOLDEN=1 writes the pictures
// afresh instead (look at them before checking them in):
//   PAGEKIT_WRITE_GOLDEN=1 build/asan/pagekit/core/pagekit_core_<topic>_test

#include <string>

class Panekit;
class XVirtualDisplay;

// Pixels of the window's picture that differ from tests/golden/<name>.png (-1 when the
// golden is missing or of another size; the failure names it).
long CompareGolden(XVirtualDisplay *display, Panekit *window, const std::string &name);
