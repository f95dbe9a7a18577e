#pragma once
class CScriptRegistrar;

// RECT, D3DVIEWPORT9, D3DLIGHT9, D3DMATERIAL9 and D3DVERTEXELEMENT9 as script values laid out
// exactly as the platform's, so that a script's value is what the renderer hands on. Colours
// are seen as CVector4 and vectors as CVector3. Registered first among the engine's interface
// types, whose declarations name these records.
bool RegisterD3DStructTypes(CScriptRegistrar& registrar);
