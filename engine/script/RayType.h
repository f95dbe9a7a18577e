#pragma once
class CScriptRegistrar;

// CRay for scripts: reached through its methods only, its fields are not properties.
bool RegisterRayType(CScriptRegistrar& registrar);
