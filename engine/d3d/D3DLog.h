#pragma once
// How the renderer and the resource banks write to the engine log: one call, one whole
// message, under the layer's source name ("D3DRenderer9", "D3DTextures", ...). Device-error
// messages quote a Direct3D result by its symbolic name and its description.
#include "windef.h"

class CEngineLog;

// Writes nothing without a log. `source` is the bare source name; the log line carries it as
// ".\Sources\<source>".
void LogD3D(CEngineLog* log, const char* source, int line, int level, const char* format, ...)
    __attribute__((format(printf, 5, 6)));

// "D3DERR_INVALIDCALL" and its description, as the DirectX error-text functions give them.
const char* D3DResultName(HRESULT result);
const char* D3DResultDescription(HRESULT result);
