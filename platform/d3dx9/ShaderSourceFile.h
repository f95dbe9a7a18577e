#pragma once
// Shader source files as the D3DX calls read them: named as on Windows (backslashes, any letter
// case), and the files they #include found beside the file that includes them.
#include <string>

class CShaderSourceFile {
 public:
  // Nested includes deeper than this fail, so a file that includes itself ends.
  static constexpr size_t kMaxIncludeDepth = 32;

  static bool Read(const char* path, std::string* text);
  // The file `name` of an #include in the file `includer`: in the includer's folder, or as
  // given when it is absolute. Its path goes to `path`.
  static bool ReadInclude(const std::string& includer, const char* name, std::string* path, std::string* text);
  // Turns the backslashes of #include lines into slashes, for a preprocessor that reads them as
  // escapes; the file calls map either.
  static void ForwardIncludeSlashes(std::string* text);
};
