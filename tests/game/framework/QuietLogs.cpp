// The game's logs are off in these test programs unless a test switches them on in a folder of
// its own (LogFolder.h): the program-wide loggers write their closing lines as the program exits,
// listing the tests included, and no test program should leave logs where it runs.
#include "framework/Logger.h"

namespace {

[[maybe_unused]] const bool kLogsOff = (geCLogger::SetLoggingEnabled(false), true);

}  // namespace
