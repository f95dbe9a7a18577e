#pragma once
class CScriptRegistrar;

// Timers for scripts. Runs last among the added types.
bool RegisterTimerType(CScriptRegistrar& registrar);
