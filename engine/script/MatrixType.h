#pragma once
class CScriptRegistrar;

// CMatrix for scripts: its sixteen elements, its operations, and the products of vectors with it.
bool RegisterMatrixType(CScriptRegistrar& registrar);
