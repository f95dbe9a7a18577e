#pragma once
// The checks of the blocks the application hands the engine. The engine and the application must
// agree on the blocks' layout byte for byte, so a mismatch ends the process before anything is
// read from them.
struct ZeKorbConfig;

// Shows the text in a box titled "ERROR!!!" and ends the process with exit code 1: what the
// application sees when it was built against another version of the engine.
[[noreturn]] void RefuseApplication(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The check of the top interface's Init (`numberPresets` true: the preset messages name the count
// and the index) and ChangeConfiguration. A null block reads as size 0.
void CheckConfigurationBlock(const ZeKorbConfig* config, bool numberPresets);

// The engine Init's own check of the same sizes, through the fatal-error routine.
void CheckConfigurationSizes(const ZeKorbConfig* config);
