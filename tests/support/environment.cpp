// Sets the environment every test executable expects, unless it is already
// set: the shared test data, the zebtool binary, and Qt's offscreen platform
// so that window tests run without a display. Linked into each test
// executable directly, so that it runs before main.
#include <cstdlib>

namespace {
struct TTestEnvironment {
  TTestEnvironment() {
    setenv("ZEB_SHARED_DIR", ZEB_DEFAULT_SHARED_DIR, 0);
    setenv("ZEBTOOL", ZEB_DEFAULT_ZEBTOOL, 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }
};
const TTestEnvironment Environment;
}  // namespace
