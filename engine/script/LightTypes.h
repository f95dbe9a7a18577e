#pragma once
class CScriptRegistrar;

// The boxes of point and spot lights, and lights, for scripts. Runs after the cameras and before
// the scenes, which name CLightInterface.
bool RegisterLightTypes(CScriptRegistrar& registrar);
