#pragma once
// The game's two script text types. `bstr` is the engine's text type and the type of string
// literals, here with byte access and the global bstr functions; `string` is the game's own
// value type over std::string with the same operators, and each converts to the other
// implicitly, so a literal passes where a `string` is declared. `bits` is a 32-bit value that a
// `uint` converts to, for bstrFormat's hexadecimal form.
//
// Registered on the game's script engine, `bstr` and the global functions through the script
// API index. A failed registration is logged; the result is the first failure, or 0.
int geRegisterScriptStrings();
