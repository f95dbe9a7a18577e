#pragma once
class CScriptRegistrar;

// Cameras for scripts. Runs after the nulls and before the lights.
bool RegisterCameraType(CScriptRegistrar& registrar);
