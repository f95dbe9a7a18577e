#pragma once
// D3DX 9 shaders: the assembler for Direct3D 9 shader assembly, the HLSL compiler and the query
// of a program's input registers.
#include "d3d9.h"
#include "d3dx9core.h"

// Compile flags; the library accepts them and needs none of them.
#define D3DXSHADER_DEBUG (1 << 0)
#define D3DXSHADER_SKIPVALIDATION (1 << 1)
#define D3DXSHADER_SKIPOPTIMIZATION (1 << 2)
#define D3DXSHADER_PACKMATRIX_ROWMAJOR (1 << 3)
#define D3DXSHADER_PACKMATRIX_COLUMNMAJOR (1 << 4)
#define D3DXSHADER_PARTIALPRECISION (1 << 5)
#define D3DXSHADER_AVOID_FLOW_CONTROL (1 << 9)
#define D3DXSHADER_PREFER_FLOW_CONTROL (1 << 10)

// A preprocessor definition; a list of them ends with an entry whose Name is null.
typedef struct _D3DXMACRO {
  LPCSTR Name;
  LPCSTR Definition;
} D3DXMACRO, *LPD3DXMACRO;

// An input register's usage (D3DDECLUSAGE_*) and usage index.
typedef struct _D3DXSEMANTIC {
  UINT Usage;
  UINT UsageIndex;
} D3DXSEMANTIC, *LPD3DXSEMANTIC;

typedef enum _D3DXINCLUDE_TYPE { D3DXINC_LOCAL = 0, D3DXINC_SYSTEM = 1, D3DXINC_FORCE_DWORD = 0x7fffffff } D3DXINCLUDE_TYPE;

// A caller's handler for #include; the library reads included files itself when none is given.
struct ID3DXInclude {
  virtual HRESULT Open(D3DXINCLUDE_TYPE IncludeType, LPCSTR pFileName, LPCVOID pParentData, LPCVOID* ppData,
                       UINT* pBytes) = 0;
  virtual HRESULT Close(LPCVOID pData) = 0;
};
typedef ID3DXInclude* LPD3DXINCLUDE;

// The constant table of compiled HLSL; this library hands out none (the pointer is set to null).
struct ID3DXConstantTable;
typedef ID3DXConstantTable* LPD3DXCONSTANTTABLE;

// Assembles vs_1_1 to vs_3_0 or ps_1_1 to ps_3_0 source into Direct3D 9 bytecode. On failure
// D3DXERR_INVALIDDATA, with the messages (each naming the line) in *ppErrorMsgs when asked for.
ZKAPI HRESULT D3DXAssembleShader(LPCSTR pSrcData, UINT SrcDataLen, const D3DXMACRO* pDefines, LPD3DXINCLUDE pInclude,
                                 DWORD Flags, LPD3DXBUFFER* ppShader, LPD3DXBUFFER* ppErrorMsgs);
ZKAPI HRESULT D3DXAssembleShaderFromFileA(LPCSTR pSrcFile, const D3DXMACRO* pDefines, LPD3DXINCLUDE pInclude,
                                          DWORD Flags, LPD3DXBUFFER* ppShader, LPD3DXBUFFER* ppErrorMsgs);

// Compiles HLSL for a profile (vs_1_1 .. vs_3_0, ps_1_1 .. ps_3_0) into a compiled program that
// CreateVertexShader and CreatePixelShader accept.
ZKAPI HRESULT D3DXCompileShader(LPCSTR pSrcData, UINT SrcDataLen, const D3DXMACRO* pDefines, LPD3DXINCLUDE pInclude,
                                LPCSTR pFunctionName, LPCSTR pProfile, DWORD Flags, LPD3DXBUFFER* ppShader,
                                LPD3DXBUFFER* ppErrorMsgs, LPD3DXCONSTANTTABLE* ppConstantTable);
ZKAPI HRESULT D3DXCompileShaderFromFileA(LPCSTR pSrcFile, const D3DXMACRO* pDefines, LPD3DXINCLUDE pInclude,
                                         LPCSTR pFunctionName, LPCSTR pProfile, DWORD Flags, LPD3DXBUFFER* ppShader,
                                         LPD3DXBUFFER* ppErrorMsgs, LPD3DXCONSTANTTABLE* ppConstantTable);

// The input registers of assembled or compiled code. With pSemantics null only *pCount is set.
ZKAPI HRESULT D3DXGetShaderInputSemantics(const DWORD* pFunction, D3DXSEMANTIC* pSemantics, UINT* pCount);
