#pragma once
// The licence the engine writes beside itself at every start, as "License.txt".

// Creates "%sLicense.txt" in `folder` (which ends in a separator), replacing an old one, and
// writes the licence's six blocks, each followed by a carriage return and a line feed. False
// when the file cannot be created or written; nothing else happens then.
bool WriteLicenseFile(const char* folder);
