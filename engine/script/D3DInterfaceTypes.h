#pragma once
class CScriptRegistrar;

// The Direct3D layer for scripts: vertex declarations, index buffers, ShaderParameter and the
// vertex and pixel shaders, vertex buffers with their storages, then HWND and the renderer.
// Runs after the sprites, whose storage the renderer hands out.
bool RegisterD3DInterfaceTypes(CScriptRegistrar& registrar);
