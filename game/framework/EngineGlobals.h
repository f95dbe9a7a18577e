#pragma once
// What the whole framework reaches through one global each: the engine's top interface and the
// game's script engine, both set while the engine loads, and the application core's settings.
namespace AngelScript {
class asIScriptEngine;
}
class CZeKorbD3DInterface;
class geCProperties;

extern CZeKorbD3DInterface* g_pZeKorb;
extern AngelScript::asIScriptEngine* g_pScriptEngine;
// The application core's property bag; null until the core exists.
extern geCProperties* g_pCoreProperties;
