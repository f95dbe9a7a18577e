#include "ShaderAssembler.h"

#include <mojoshader/mojoshader.h>

#include <climits>
#include <cstring>

namespace {

std::vector<MOJOSHADER_preprocessorDefine> DefineList(const D3DXMACRO* defines) {
  std::vector<MOJOSHADER_preprocessorDefine> list;
  for (const D3DXMACRO* d = defines; d && d->Name; ++d) list.push_back({d->Name, d->Definition ? d->Definition : ""});
  return list;
}

void AppendErrors(const MOJOSHADER_parseData& data, const char* fileName, std::string* messages) {
  for (int i = 0; i < data.error_count; ++i) {
    const MOJOSHADER_error& e = data.errors[i];
    const char* file = e.filename ? e.filename : fileName ? fileName : "memory";
    *messages += file;
    if (e.error_position >= 0) *messages += "(" + std::to_string(e.error_position) + ")";
    *messages += ": error: ";
    *messages += e.error ? e.error : "unknown error";
    *messages += "\n";
  }
}

}  // namespace

bool CShaderAssembler::Assemble(const char* source, size_t length, const char* fileName, const D3DXMACRO* defines,
                                std::vector<BYTE>* bytecode, std::string* messages) {
  if (length > UINT_MAX) {
    *messages = "source too large\n";
    return false;
  }
  const std::vector<MOJOSHADER_preprocessorDefine> list = DefineList(defines);
  const MOJOSHADER_parseData* data = MOJOSHADER_assemble(
      fileName, source, static_cast<unsigned>(length), nullptr, 0, nullptr, 0, list.empty() ? nullptr : list.data(),
      static_cast<unsigned>(list.size()), nullptr, nullptr, nullptr, nullptr, nullptr);
  bool ok = data->error_count == 0 && data->output && data->output_len > 0;
  if (ok) {
    bytecode->assign(data->output, data->output + data->output_len);
  } else {
    AppendErrors(*data, fileName, messages);
    if (messages->empty()) *messages = std::string(fileName ? fileName : "memory") + ": error: no shader assembled\n";
  }
  MOJOSHADER_freeParseData(data);
  return ok;
}
