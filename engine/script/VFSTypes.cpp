#include "script/VFSTypes.h"

#include <cstdint>
#include <string>

#include "ZKDXInterface.h"
#include "script/ScriptArrays.h"
#include "script/ScriptGlue.h"
#include "script/ScriptRegistrar.h"
#include "script/ScriptTypeRows.h"

using namespace AngelScript;
using ScriptArrays::CScriptArray;
using ScriptGlue::Function;
using ScriptGlue::Method;

namespace {

constexpr asDWORD kObjFirst = asCALL_CDECL_OBJFIRST;
constexpr int kMethodRow = 2;  // every method of a type fails with this number
// The piece a line is read in; a longer line takes several.
constexpr int kLinePiece = 256;

// A member's bytes are the archive's: scripts get a copy. A loose file has none.
CScriptArray* GetFileBuffer(VFSFile* file) {
  const BYTE* data = file->GetFileBuffer();
  return data != nullptr ? ScriptArrays::Copy("array<uint8>", data, file->GetFileLength())
                         : nullptr;
}

// The next line through its line feed, a CR-LF ending read as LF, however long; empty at the
// end of the file.
bstr Gets(VFSFile* file) {
  std::string line;
  char piece[kLinePiece];
  while ((line.empty() || line.back() != '\n') && file->Gets(piece, sizeof piece) != nullptr)
    line += piece;
  if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0)
    line.erase(line.size() - 2, 1);
  return line;
}

// The file reads or writes size × count bytes at the array's start: they must lie in it.
UINT Read(VFSFile* file, CScriptArray* buffer, UINT size, UINT count) {
  if (!ScriptArrays::Holds(buffer, std::uint64_t{size} * count)) return 0;
  return file->Read(ScriptArrays::Data<BYTE>(buffer), size, count);
}
UINT Write(VFSFile* file, CScriptArray* buffer, UINT size, UINT count) {
  if (!ScriptArrays::Holds(buffer, std::uint64_t{size} * count)) return 0;
  return file->Write(ScriptArrays::Data<BYTE>(buffer), size, count);
}

}  // namespace

bool RegisterVFSTypes(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "InitVFSType");

  CScriptTypeRows f(registrar, "VFSFile", CScriptTypeRows::kInterface);
  f.Type(0, ScriptGlue::kEngineObjectFlags);
  f.Method("uint GetFileSource()", Method<&VFSFile::GetFileSource>(), kMethodRow);
  f.Method("uint GetFileLength()", Method<&VFSFile::GetFileLength>(), kMethodRow);
  f.Method("uint Tell()", Method<&VFSFile::Tell>(), kMethodRow);
  f.Method("int Close()", Method<&VFSFile::Close>(), kMethodRow);
  f.Method("int Getc()", Method<&VFSFile::Getc>(), kMethodRow);
  f.Method("array<uint8>@ GetFileBuffer()", Function<&GetFileBuffer>(kObjFirst), kMethodRow);
  f.Method("bstr GetFileName()", Method<&VFSFile::GetFileName>(), kMethodRow);
  f.Method("bstr Gets()", Function<&Gets>(kObjFirst), kMethodRow);
  // Offset, then origin: 0 the start, 1 the current place, 2 the end.
  f.Method("uint8 Seek(int, uint)", Method<&VFSFile::Seek>(), kMethodRow);
  // Registered once: the scripting library refuses the same declaration twice.
  f.Method("uint Read(array<uint8>@, uint, uint)", Function<&Read>(kObjFirst), kMethodRow);
  f.Method("uint Write(array<uint8>@, uint, uint)", Function<&Write>(kObjFirst), kMethodRow);

  using Files = CVirtualFileSystemInterface;
  CScriptTypeRows v(registrar, "CVirtualFileSystemInterface", CScriptTypeRows::kInterface);
  v.Type(0, ScriptGlue::kEngineObjectFlags);
  v.Method("uint AddVirtualDisk(const bstr &in, uint, uint, uint, const bstr &in)",
           Method<&Files::AddVirtualDisk>(), kMethodRow);
  v.Method("uint CloseVirtualDisk(const bstr &in)", Method<&Files::CloseVirtualDisk>(),
           kMethodRow);
  v.Method("uint LocateNormalFile(const bstr &in)", Method<&Files::LocateNormalFile>(),
           kMethodRow);
  v.Method("uint LocateShaderFile(const bstr &in)", Method<&Files::LocateShaderFile>(),
           kMethodRow);
  v.Method("uint GetNumberOfVirtualDisks()", Method<&Files::GetNumberOfVirtualDisks>(),
           kMethodRow);
  v.Method("VFSFile@ OpenNormalFile(const bstr &in, const bstr &in)",
           Method<&Files::OpenNormalFile>(), kMethodRow);
  v.Method("VFSFile@ OpenShaderFile(const bstr &in, const bstr &in)",
           Method<&Files::OpenShaderFile>(), kMethodRow);
  return registrar.Succeeded();
}
