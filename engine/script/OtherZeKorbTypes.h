#pragma once
class CScriptRegistrar;

// The page allocator for scripts.
bool RegisterAllocatorType(CScriptRegistrar& registrar);

// The allocator, then the sound server, its listener and its streams: the group the top
// interface's registration runs second.
bool RegisterOtherZeKorbTypes(CScriptRegistrar& registrar);
