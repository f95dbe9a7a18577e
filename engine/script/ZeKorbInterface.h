#pragma once
class CScriptRegistrar;

// The file system, allocator and sound types, then the top interface with its methods and the
// global functions GetZeKorbD3DInterface and MessageBox.
bool RegisterZeKorbInterface(CScriptRegistrar& registrar);
