#include "framework/EngineGlobals.h"

CZeKorbD3DInterface* g_pZeKorb = nullptr;
AngelScript::asIScriptEngine* g_pScriptEngine = nullptr;
geCProperties* g_pCoreProperties = nullptr;
