#pragma once
class CScriptRegistrar;

// Keys, keyed channels and value-or-envelope objects for scripts, each column after the other.
// Registered before every other engine interface, whose declarations name these three types.
bool RegisterEnvelopeTypes(CScriptRegistrar& registrar);
