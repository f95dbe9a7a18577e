#pragma once
// Test control of a whole program: input and screenshots commanded from outside, for runs
// without a keyboard or a screen.
//
// ZK_COMMANDS names a FIFO or a plain file. When it is set, the platform opens it at the first
// PeekMessageA on the thread that pumps the windows and, at each one after, runs every whole
// line that has arrived, never blocking: a partial line waits for its end, a writer closing the
// FIFO does not end the reading (another may open it), and a plain file is read as it grows.
// When it is unset nothing is opened or read.
//
// One command a line; blank lines and lines starting with '#' are skipped:
//   key <dik> down|up        a key by its DirectInput code (decimal, or hex as 0x1e)
//   tap <dik>                the key down, and up again once one more frame has been presented
//   text <utf8>              typed text
//   mouse <x> <y>            the pointer moves to client pixel (x, y)
//   button <0|1|2> down|up   left, right or middle button, where the pointer is
//   wheel <notches>          the wheel turns, away from the user positive
//   close                    the desktop asks the window to close
//   frames <n>               the lines after it wait until n more frames have been presented
//   wait <ms>                the lines after it wait until the platform clock has moved on so far
//   screenshot <file.png>    the next Present writes what it shows, at the window's size, as PNG;
//                            a relative path starts from the command file's folder. The file
//                            appears whole (it is written under another name, then renamed), and
//                            the lines after it wait until it is written or has failed. Refused on
//                            the null back end, which draws nothing.
// Input goes to the window that has the focus, through the same calls as ZkTestInput.h, so it
// reaches the message pump, GetAsyncKeyState and DirectInput as a real keyboard and mouse do.
// When no window has the focus, the newest visible window is given it first (an offscreen
// window has none of its own, and DirectInput acquires only in the foreground); while there is
// no window at all, an input line waits for one.
//
// Each command run is echoed to standard error as "zk-commands: <line>"; an unknown or
// malformed line, or one longer than 4096 bytes, is echoed with "refused" and skipped.
#include "windef.h"
#include "zkplatform/ZkApi.h"

// Commands come from this FIFO or file from now on, as if ZK_COMMANDS had named it; whatever was
// pending is forgotten. FALSE, with the reason on standard error, when it cannot be opened.
ZKAPI BOOL ZkTestCommandsOpen(const char* path);
// Text handed to the reader as if it had arrived from the command file: its whole lines run at
// the next PeekMessageA, a partial line waits for the rest. Relative screenshot paths start from
// the working folder unless a command file was opened.
ZKAPI void ZkTestCommandsFeed(const char* text);
// Stops reading and forgets pending text, waits and screenshots.
ZKAPI void ZkTestCommandsReset();
