#include "AppDelegate.h"

namespace zev {

void AppDelegate::applicationDidFinishLaunching() {}

void AppDelegate::applicationWillTerminate() {}

} // namespace zev
