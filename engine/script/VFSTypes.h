#pragma once
class CScriptRegistrar;

// Files opened through the virtual file system, and the file system, for scripts. Runs first in
// the top interface's group.
bool RegisterVFSTypes(CScriptRegistrar& registrar);
