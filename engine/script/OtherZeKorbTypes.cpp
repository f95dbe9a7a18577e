#include "script/OtherZeKorbTypes.h"

#include "ZKDXInterface.h"
#include "script/ScriptGlue.h"
#include "script/ScriptRegistrar.h"
#include "script/ScriptTypeRows.h"
#include "script/SoundTypes.h"

using ScriptGlue::Method;

bool RegisterAllocatorType(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "OtherZeKorbTypes");
  using Allocator = ZKAllocatorInterface;
  CScriptTypeRows a(registrar, "ZKAllocatorInterface", CScriptTypeRows::kInterface);
  a.Type(0, ScriptGlue::kEngineObjectFlags);
  a.Method("VoidPtr AllocateMemory(uint)", Method<&Allocator::AllocateMemory>());
  a.Method("uint DeleteMemory(const VoidPtr &in)", Method<&Allocator::DeleteMemory>(), 2);
  return registrar.Succeeded();
}

bool RegisterOtherZeKorbTypes(CScriptRegistrar& registrar) {
  return RegisterAllocatorType(registrar) && RegisterSoundTypes(registrar);
}
