#pragma once
class CScriptRegistrar;

// The methods of sound streams (whose type the nulls' group registers), the 3D listener and the
// sound server, for scripts.
bool RegisterSoundTypes(CScriptRegistrar& registrar);
