// The registrar and the registration functions: numbering, the one line logged at the first
// refused call, and nothing registered after it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BstrSnippets.h"
#include "ScriptBindingsFixture.h"
#include <angelscript/scriptarray.h>

#include "script/D3DInterfaceTypes.h"
#include "script/D3DStructTypes.h"
#include "script/EnvelopeTypes.h"
#include "script/MaterialTypes.h"
#include "script/MatrixType.h"
#include "script/MeshTypes.h"
#include "script/NullTypes.h"
#include "script/CameraType.h"
#include "script/LightTypes.h"
#include "script/SceneTypes.h"
#include "script/OtherZeKorbTypes.h"
#include "script/TimerType.h"
#include "script/VFSTypes.h"
#include "script/ParentFunctions.h"
#include "script/RayType.h"
#include "script/ScriptGlue.h"
#include "script/SpriteTypes.h"
#include "script/ZeKorbInterface.h"
#include "script/ZeKorbTypes.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

// Everything the script engine holds that a registration call adds: one per successful call.
int Footprint(asIScriptEngine* engine) {
  int count = static_cast<int>(engine->GetObjectTypeCount() + engine->GetGlobalFunctionCount());
  for (asUINT i = 0; i < engine->GetObjectTypeCount(); ++i) {
    const asITypeInfo* type = engine->GetObjectTypeByIndex(i);
    count += static_cast<int>(type->GetMethodCount() + type->GetPropertyCount() +
                              type->GetBehaviourCount() + type->GetFactoryCount());
  }
  return count;
}

bool Nothing(CScriptRegistrar&) { return true; }
bool Vectors(CScriptRegistrar& registrar) { return RegisterVectorTypes(registrar); }
bool VectorsAndMatrix(CScriptRegistrar& registrar) {
  return RegisterVectorTypes(registrar) && RegisterMatrixType(registrar);
}
// What the engine interface groups' declarations name: the library's types, the maths types,
// the records and the envelopes.
bool BeforeAddedTypes(CScriptRegistrar& registrar) {
  asIScriptEngine* engine = registrar.GetEngine();
  return registrar.Call([&] { return RegisterBstr(engine); }, "bstr") &&
         registrar.Call(
             [&] {
               RegisterScriptArray(engine, true);
               return 0;
             },
             "array") &&
         registrar.Call([&] { return RegisterVoidPtr(engine); }, "VoidPtr") &&
         RegisterVectorTypes(registrar) && RegisterMatrixType(registrar) &&
         RegisterRayType(registrar) && RegisterGeometryRecords(registrar) && RegisterEnvelopeTypes(registrar);
}
// What the scene object types name: the added types too.
bool BeforeSceneObjectTypes(CScriptRegistrar& registrar) {
  return BeforeAddedTypes(registrar) && RegisterZeKorbAddTypes(registrar);
}
bool BeforeMaterials(CScriptRegistrar& registrar) {
  return BeforeSceneObjectTypes(registrar) &&
         registrar.Type("CMeshInterface", 0, ScriptGlue::kEngineObjectFlags, "mesh");
}
bool BeforeMeshes(CScriptRegistrar& registrar) {
  return BeforeMaterials(registrar) && RegisterMaterialTypes(registrar);
}
bool BeforeNulls(CScriptRegistrar& registrar) {
  return BeforeMeshes(registrar) && RegisterMeshTypes(registrar);
}
bool BeforeCameras(CScriptRegistrar& registrar) {
  return BeforeNulls(registrar) && RegisterNullTypes(registrar);
}
bool BeforeLights(CScriptRegistrar& registrar) {
  return BeforeCameras(registrar) && RegisterCameraType(registrar);
}
bool BeforeScenes(CScriptRegistrar& registrar) {
  return BeforeLights(registrar) && RegisterLightTypes(registrar);
}
bool InterfaceTypes(CScriptRegistrar& registrar) {
  return BeforeAddedTypes(registrar) && RegisterZeKorbAddTypes(registrar) &&
         RegisterZeKorbTypes(registrar);
}
// What the sprites' declarations name besides their own types.
bool BeforeSprites(CScriptRegistrar& registrar) {
  return BeforeAddedTypes(registrar) && RegisterD3DStructTypes(registrar) &&
         registrar.Type("CSceneInterface", 0, ScriptGlue::kEngineObjectFlags, "scene");
}
bool BeforeD3DResources(CScriptRegistrar& registrar) {
  return BeforeSprites(registrar) && RegisterSpriteTypes(registrar);
}

using Registration = bool (*)(CScriptRegistrar&);

struct Failure {
  int call;
  const char* message;
  const char* source = nullptr;  // when not the group's
};

struct Group {
  const char* name;
  Registration prerequisites;
  Registration registration;
  const char* source;
  int calls;
  std::vector<Failure> failures;
};

const Group kGroups[] = {
    {"vectors", Nothing, RegisterVectorTypes, "BasicTypes", 37,
     {{1, "Can't Add CVector3 Basic Type To The Script (1)"},
      {2, "Can't Add CVector4 Basic Type To The Script (1)"},
      {3, "Can't Declare Contructor1 For CVector3"},
      {7, "Can't Declare Assigment For CVector3"},
      {11, "Can't Add CVector3 Basic Type To The Script (6)"},
      {12, "Can't Add CVector3 Basic Type To The Script (7)"},
      {13, "Can't Add CVector3 Basic Type To The Script (8)"},
      {14, "Can't Add CVector3 Basic Type To The Script (10)"},
      {17, "Can't Add CVector3 Basic Type To The Script (14)"},
      {19, "Can't Add CVector3 Basic Type To The Script (18)"},
      {20, "Can't Declare Contructor1 For CVector4"},
      {28, "Can't Add CVector4 Basic Type To The Script (15)"},
      {30, "Can't Add CVector4 Basic Type To The Script (7)"},
      {31, "Can't Add CVector4 Basic Type To The Script (8)"},
      {34, "Can't Add CVector4 Basic Type To The Script (13)"},
      {37, "Can't Add CVector4 Basic Type To The Script (18)"}}},
    {"matrix", Vectors, RegisterMatrixType, "MatrixType", 40,
     {{1, "Can't Add CMatrix Basic Type To The Script (1)"},
      {2, "Can't Declare Contructor1 For CMatrix"},
      {3, "Can't Declare Contructor2 For CMatrix"},
      {4, "Can't Declare Assigment For CMatrix"},
      {5, "Can't Add CMatrix Basic Type To The Script (2)"},
      {20, "Can't Add CMatrix Basic Type To The Script (17)"},
      {21, "Can't Add CMatrix Basic Type To The Script (18)"},
      {33, "Can't Add CMatrix Basic Type To The Script (30)"},
      {35, "Can't Add CMatrix Basic Type To The Script (32)"},
      {36, "Can't Add CMatrix Basic Type To The Script (32)"},
      {37, "Can't Add CMatrix Basic Type To The Script (33)"},
      {40, "Can't Add CMatrix Basic Type To The Script (36)"}}},
    {"ray", VectorsAndMatrix, RegisterRayType, "RayType", 10,
     {{1, "Can't Add CRay Basic Type To The Script (1)"},
      {3, "Can't Declare Contructor2 For CRay"},
      {5, "Can't Declare Assigment For CRay"},
      {6, "Can't Add CRay Basic Type To The Script (2)"},
      {10, "Can't Add CRay Basic Type To The Script (6)"}}},
    {"records", Vectors, RegisterGeometryRecords, "BasicTypes", 31,
     {{1, "Can't Add Vertex Basic Type To The Script (1)"},
      {9, "Can't Add Vertex Basic Type To The Script (9)"},
      {10, "Can't Declare Contructor1 For Vertex"},
      {11, "Can't Add Face Basic Type To The Script (1)"},
      {19, "Can't Add Face Basic Type To The Script (9)"},
      {21, "Can't Add Edge Basic Type To The Script (1)"},
      {22, "Can't Add Edge Basic Type To The Script (2)"},
      {27, "Can't Add Edge Basic Type To The Script (7)"},
      {28, "Can't Declare Contructor1 For Edge"},
      {29, "Can't Add CMaterialInterface* ZeKorb Type To The Script (1)"},
      {30, "Can't Add SurfaceTexture ZeKorb Type To The Script (1)"},
      {31, "Can't Declare Contructor1 For SurfaceTexture"}}},
    {"envelopes", Nothing, RegisterEnvelopeTypes, "EnvelopeType", 32,
     {{1, "Can't Add CKeyInterface* ZeKorb Type To The Script (1)"},
      {11, "Can't Add CKeyInterface* ZeKorb Type To The Script (11)"},
      {12, "Can't Add CKeyInterface* ZeKorb Type To The Script (12)"},
      {13, "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (1)"},
      {23, "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (11)"},
      {25, "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (13)"},
      {26, "Can't Add CEnvelopeInterface* ZeKorb Type To The Script (1)"},
      {28, "Can't Add CEnvelopeInterface* ZeKorb Type To The Script (3)"},
      {32, "Can't Add CEnvelopeInterface* ZeKorb Type To The Script (7)"}}},
    {"d3d structures", Vectors, RegisterD3DStructTypes, "InitD3DStructs", 44,
     {{1, "Can't Add RECT ZeKorb Type To The Script (1)"},
      {3, "Can't Add RECT ZeKorb Type To The Script (3)"},
      {5, "Can't Add RECT ZeKorb Type To The Script (5)"},
      {6, "Can't Declare Contructor1 For RECT"},
      {7, "Can't Add D3DVIEWPORT9 ZeKorb Type To The Script (1)"},
      {13, "Can't Add D3DVIEWPORT9 ZeKorb Type To The Script (7)"},
      {15, "Can't Add D3DLIGHT9 ZeKorb Type To The Script (1)"},
      {28, "Can't Add D3DLIGHT9 ZeKorb Type To The Script (14)"},
      {30, "Can't Add D3DMATERIAL9 ZeKorb Type To The Script (1)"},
      {35, "Can't Add D3DMATERIAL9 ZeKorb Type To The Script (6)"},
      {37, "Can't Add D3DVERTEXELEMENT9 ZeKorb Type To The Script (1)"},
      {43, "Can't Add D3DVERTEXELEMENT9 ZeKorb Type To The Script (7)"},
      {44, "Can't Declare Contructor1 For D3DVERTEXELEMENT9"}}},
    {"sprites", BeforeSprites, RegisterSpriteTypes, "SpriteType", 57,
     {{1, "Can't Add CSpriteInterface* ZeKorb Type To The Script (1)"},
      {2, "Can't Add CSpriteInterface* ZeKorb Type To The Script (2)"},
      {25, "Can't Add CSpriteInterface* ZeKorb Type To The Script (25)"},
      {51, "Can't Add CSpriteInterface* ZeKorb Type To The Script (51)"},
      {52, "Can't Add CSpriteStorageInterface* ZeKorb Type To The Script (1)"},
      {53, "Can't Add CSpriteStorageInterface* ZeKorb Type To The Script (2)"},
      {55, "Can't Add CSpriteStorageInterface* ZeKorb Type To The Script (4)"},
      {56, "Can't Add CNullInterface* ZeKorb Type To The Script (1)"},
      {57, "ERROR!!! - Can't Register CreateSpriteForNullObject() Function"}}},
    {"d3d resources", BeforeD3DResources, RegisterD3DInterfaceTypes, "InitD3DInterface", 80,
     {{1, "Can't Add CVertexDeclarationInterface* ZeKorb Type To The Script (1)"},
      {6, "Can't Add CVertexDeclarationStorageInterface* ZeKorb Type To The Script (3)"},
      {7, "Can't Add CIndexBufferInterface* ZeKorb Type To The Script (1)"},
      {12, "Can't Add CIndexBufferInterface* ZeKorb Type To The Script (6)"},
      {18, "Can't Add CIndexBufferStorageInterface* ZeKorb Type To The Script (4)"},
      {19, "Can't Add ShaderParameter ZeKorb Type To The Script (1)"},
      {22, "Can't Add ShaderParameter ZeKorb Type To The Script (4)"},
      {23, "Can't Add ShaderParameter ZeKorb Type To The Script (4)"},
      {24, "Can't Declare Contructor1 For ShaderParameter"},
      {25, "Can't Add CVertexShaderInterface* ZeKorb Type To The Script (1)"},
      {33, "Can't Add CVertexShaderStorageInterface* ZeKorb Type To The Script (4)"},
      {34, "Can't Add CPixelShaderInterface* ZeKorb Type To The Script (1)"},
      {42, "Can't Add CPixelShaderStorageInterface* ZeKorb Type To The Script (4)"},
      {43, "Can't Add CVertexBufferInterface* ZeKorb Type To The Script (1)"},
      {49, "Can't Add CVertexBufferStorageInterface* ZeKorb Type To The Script (2)"},
      {50, "Can't Add HWND Type To The Script (1)"},
      {51, "Can't Declare Contructor1 For HWND"},
      {52, "Can't Add CD3D9RendererInterface* ZeKorb Type To The Script (1)"},
      {80, "Can't Add CD3D9RendererInterface* ZeKorb Type To The Script (29)"}}},
    {"added types", BeforeAddedTypes, RegisterZeKorbAddTypes, "ZeKorbAddTypes", 192,
     {{1, "Can't Add RECT ZeKorb Type To The Script (1)", "InitD3DStructs"},
      {45, "Can't Add CSceneInterface* ZeKorb Type To The Script (1)"},
      {46, "Can't Add CSpriteInterface* ZeKorb Type To The Script (1)", "SpriteType"},
      {103, "Can't Add CMaterialStorageInterface ZeKorb Type To The Script (1)"},
      {104, "Can't Add CTextureStorageInterface* ZeKorb Type To The Script (1)"},
      {105, "Can't Add CVertexDeclarationInterface* ZeKorb Type To The Script (1)",
       "InitD3DInterface"},
      {185, "Can't Add CTimerInterface* ZeKorb Type To The Script (1)", "TimerType"},
      {192, "Can't Add CTimerInterface* ZeKorb Type To The Script (8)", "TimerType"}}},
    {"materials", BeforeMaterials, RegisterMaterialTypes, "MaterialTypes", 86,
     {{1, "Can't Add CTextureInterface* ZeKorb Type To The Script (1)"},
      {4, "Can't Add CTextureInterface* ZeKorb Type To The Script (5)"},
      {7, "Can't Add CTextureInterface* ZeKorb Type To The Script (8)"},
      {8, "Can't Add SurfaceTexture ZeKorb Type To The Script (2)"},
      {12, "Can't Add SurfaceTexture ZeKorb Type To The Script (6)"},
      {13, "Can't Add CMaterialInterface* ZeKorb Type To The Script (2)"},
      {15, "Can't Add CMaterialInterface* ZeKorb Type To The Script (4)"},
      {16, "Can't Add CMaterialInterface* ZeKorb Type To The Script (4)"},
      {17, "Can't Add CMaterialStorageInterface* ZeKorb Type To The Script (2)"},
      {20, "Can't Add CMaterialStorageInterface* ZeKorb Type To The Script (5)"},
      {21, "Can't Add MaterialTexture1 ZeKorb Type To The Script (1)"},
      {22, "Can't Declare Contructor1 For MaterialTexture1"},
      {33, "Can't Add MaterialTexture1 ZeKorb Type To The Script (9)"},
      {34, "Can't Add MaterialTexture2 ZeKorb Type To The Script (1)"},
      {46, "Can't Add MaterialTexture2 ZeKorb Type To The Script (9)"},
      {47, "Can't Add CTextureStorageInterface* ZeKorb Type To The Script (2)"},
      {56, "Can't Add CTextureStorageInterface* ZeKorb Type To The Script (11)"},
      {57, "Can't Add CSurfaceInterface* ZeKorb Type To The Script (1)"},
      {85, "Can't Add CSurfaceInterface* ZeKorb Type To The Script (29)"},
      {86, "Can't Add CSurfaceInterface* ZeKorb Type To The Script (29)"}}},
    {"meshes", BeforeMeshes, RegisterMeshTypes, "MeshType", 75,
     {{1, "Can't Add CMeshBoundVolumeInterface* ZeKorb Type To The Script (1)"},
      {2, "Can't Add CMeshBoundVolumeInterface* ZeKorb Type To The Script (3)"},
      {14, "Can't Add CMeshBoundVolumeInterface* ZeKorb Type To The Script (15)"},
      {15, "Can't Add CWorldObjectInterface* ZeKorb Type To The Script (1)"},
      {20, "Can't Add CWorldObjectInterface* ZeKorb Type To The Script (6)"},
      // The record fails first: no mesh method is registered.
      {21, "Can't Add TrianglePair ZeKorb Type To The Script (1)"},
      {23, "Can't Add TrianglePair ZeKorb Type To The Script (3)"},
      {24, "Can't Add CMeshInterface* ZeKorb Type To The Script (2)"},
      {40, "Can't Add CMeshInterface* ZeKorb Type To The Script (18)"},
      {41, "Can't Add CMeshInterface* ZeKorb Type To The Script (20)"},
      {44, "Can't Add CMeshInterface* ZeKorb Type To The Script (23)"},
      {45, "Can't Add CMeshInterface* ZeKorb Type To The Script (25)"},
      {68, "Can't Add CMeshInterface* ZeKorb Type To The Script (48)"},
      {69, "Can't Add CMeshInterface* ZeKorb Type To The Script (50)"},
      {75, "Can't Add CMeshInterface* ZeKorb Type To The Script (56)"}}},
    {"nulls", BeforeNulls, RegisterNullTypes, "NullTypes", 22,
     {{1, "Can't Add CNullOptionsInterface* ZeKorb Type To The Script (1)"},
      {2, "Can't Add CNullInterface* ZeKorb Type To The Script (2)"},
      {16, "Can't Add CNullInterface* ZeKorb Type To The Script (16)"},
      {17, "Can't Add CNullInterface* ZeKorb Type To The Script (17)"},
      {18, "Can't Add CNullInterface* ZeKorb Type To The Script (17)"},
      {19, "Can't Add TonarisStream* ZeKorb Type To The Script (1)"},
      {20, "Can't Add CNullOptionsInterface* ZeKorb Type To The Script (2)"},
      {22, "Can't Add CNullOptionsInterface* ZeKorb Type To The Script (4)"}}},
    {"cameras", BeforeCameras, RegisterCameraType, "CameraType", 30,
     {{1, "Can't Add CCameraInterface* ZeKorb Type To The Script (1)"},
      {17, "Can't Add CCameraInterface* ZeKorb Type To The Script (17)"},
      {30, "Can't Add CCameraInterface* ZeKorb Type To The Script (30)"}}},
    {"lights", BeforeLights, RegisterLightTypes, "LightTypes", 44,
     {{1, "Can't Add CLightBoundVolumeInterface* ZeKorb Type To The Script (1)"},
      {7, "Can't Add CLightBoundVolumeInterface* ZeKorb Type To The Script (7)"},
      {8, "Can't Add CLightBoundVolumeInterface* ZeKorb Type To The Script (10)"},
      {12, "Can't Add CLightBoundVolumeInterface* ZeKorb Type To The Script (15)"},
      {13, "Can't Add CLightBoundVolumeInterface* ZeKorb Type To The Script (16)"},
      {14, "Can't Add CLightInterface* ZeKorb Type To The Script (1)"},
      {28, "Can't Add CLightInterface* ZeKorb Type To The Script (15)"},
      {29, "Can't Add CLightInterface* ZeKorb Type To The Script (21)"},
      {30, "Can't Add CLightInterface* ZeKorb Type To The Script (16)"},
      {35, "Can't Add CLightInterface* ZeKorb Type To The Script (24)"},
      {41, "Can't Add CLightInterface* ZeKorb Type To The Script (30)"},
      {44, "Can't Add CLightInterface* ZeKorb Type To The Script (30)"}}},
    {"scenes", BeforeScenes, RegisterSceneTypes, "SceneTypes", 68,
     {{1, "Can't Add ColorByte ZeKorb Type To The Script (1)"},
      {2, "Can't Add ColorByte ZeKorb Type To The Script (2)"},
      {5, "Can't Add ColorByte ZeKorb Type To The Script (2)"},
      {6, "Can't Add CSceneInterface* ZeKorb Type To The Script (2)"},
      {68, "Can't Add CSceneInterface* ZeKorb Type To The Script (2)"}}},
    {"scene object types", BeforeSceneObjectTypes, RegisterZeKorbTypes, "ZeKorbTypes", 326,
     {{1, "Can't Add CMeshInterface* ZeKorb Type To The Script (1)"},
      {2, "Can't Add CTextureInterface* ZeKorb Type To The Script (1)", "MaterialTypes"},
      {88, "Can't Add CMeshBoundVolumeInterface* ZeKorb Type To The Script (1)", "MeshType"},
      {163, "Can't Add CNullOptionsInterface* ZeKorb Type To The Script (1)", "NullTypes"},
      {185, "Can't Add CCameraInterface* ZeKorb Type To The Script (1)", "CameraType"},
      {215, "Can't Add CLightBoundVolumeInterface* ZeKorb Type To The Script (1)", "LightTypes"},
      {259, "Can't Add ColorByte ZeKorb Type To The Script (1)", "SceneTypes"},
      {326, "Can't Add CSceneInterface* ZeKorb Type To The Script (2)", "SceneTypes"}}},
    {"parent functions", InterfaceTypes, RegisterParentFunctions, "ZeKorbParentFunctions", 5,
     {{1, "ERROR!!! - Can't Register GetMeshParent() Function"},
      {2, "ERROR!!! - Can't Register GetLightParent() Function"},
      {3, "ERROR!!! - Can't Register GetSurfaceParent() Function"},
      {4, "ERROR!!! - Can't Register GetSceneParent() Function"},
      {5, "ERROR!!! - Can't Register GetNullParent() Function"}}},
    {"file system", BeforeAddedTypes, RegisterVFSTypes, "InitVFSType", 20,
     {{1, "Can't Add VFSFile* ZeKorb Type To The Script (1)"},
      {2, "Can't Add VFSFile* ZeKorb Type To The Script (2)"},
      {12, "Can't Add VFSFile* ZeKorb Type To The Script (2)"},
      {13, "Can't Add CVirtualFileSystemInterface* ZeKorb Type To The Script (1)"},
      {20, "Can't Add CVirtualFileSystemInterface* ZeKorb Type To The Script (2)"}}},
    {"allocator and sound", InterfaceTypes, RegisterOtherZeKorbTypes, "OtherZeKorbTypes", 47,
     {{1, "Can't Add ZKAllocatorInterface* ZeKorb Type To The Script (1)"},
      {3, "Can't Add ZKAllocatorInterface* ZeKorb Type To The Script (2)"},
      {4, "Can't Add TonarisStream* ZeKorb Type To The Script (2)", "sound"},
      {14, "Can't Add TonarisStream* ZeKorb Type To The Script (12)", "sound"},
      {26, "Can't Add TonarisStream* ZeKorb Type To The Script (24)", "sound"},
      {27, "Can't Add TonarisListener* ZeKorb Type To The Script (1)", "sound"},
      {33, "Can't Add TonarisListener* ZeKorb Type To The Script (7)", "sound"},
      {34, "Can't Add TonarisInterface* ZeKorb Type To The Script (1)", "sound"},
      {47, "Can't Add TonarisInterface* ZeKorb Type To The Script (2)", "sound"}}},
    {"timer", Nothing, RegisterTimerType, "TimerType", 8,
     {{1, "Can't Add CTimerInterface* ZeKorb Type To The Script (1)"},
      {2, "Can't Add CTimerInterface* ZeKorb Type To The Script (2)"},
      {8, "Can't Add CTimerInterface* ZeKorb Type To The Script (8)"}}},
    {"top interface", InterfaceTypes, RegisterZeKorbInterface, "InitZeKorbInterface", 83,
     {{1, "Can't Add VFSFile* ZeKorb Type To The Script (1)", "InitVFSType"},
      {13, "Can't Add CVirtualFileSystemInterface* ZeKorb Type To The Script (1)", "InitVFSType"},
      {21, "Can't Add ZKAllocatorInterface* ZeKorb Type To The Script (1)", "OtherZeKorbTypes"},
      {24, "Can't Add TonarisStream* ZeKorb Type To The Script (2)", "sound"},
      {54, "Can't Add TonarisInterface* ZeKorb Type To The Script (1)", "sound"},
      {68, "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (1)"},
      {69, "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (2)"},
      {70, "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (3)"},
      {72, "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (5)"},
      // The fifth and sixth methods carry 7 and 6, the last three all 12.
      {73, "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (7)"},
      {74, "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (6)"},
      {75, "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (8)"},
      {78, "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (11)"},
      {79, "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (12)"},
      {80, "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (12)"},
      {81, "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (12)"},
      {82, "ERROR!!! - Can't Register GetZeKorb() Function"},
      {83, "ERROR!!! - Can't Register MessageBox() Function"}}},
};

TEST(ScriptRegistration, EachGroupRegistersAllItsCallsWithoutALine) {
  for (const Group& group : kGroups) {
    ScriptTestEngine script;
    CRecordingEngineLog log;
    CScriptRegistrar setup(script.engine, &log);
    ASSERT_TRUE(group.prerequisites(setup)) << group.name;
    const int before = Footprint(script.engine);

    CScriptRegistrar registrar(script.engine, &log);
    EXPECT_TRUE(group.registration(registrar)) << group.name << ": " << script.messages;
    EXPECT_EQ(registrar.GetCallCount(), group.calls) << group.name;
    EXPECT_EQ(Footprint(script.engine) - before, group.calls) << group.name;
    EXPECT_TRUE(log.entries.empty()) << group.name;
  }
}

TEST(ScriptRegistration, TheRefusedCallLogsItsLineAndNothingAfterItIsRegistered) {
  for (const Group& group : kGroups) {
    for (const Failure& failure : group.failures) {
      const std::string what = std::string(group.name) + " call " + std::to_string(failure.call);
      ScriptTestEngine script;
      CRecordingEngineLog log;
      CScriptRegistrar setup(script.engine, &log);
      ASSERT_TRUE(group.prerequisites(setup)) << what;
      const int before = Footprint(script.engine);

      CScriptRegistrar registrar(script.engine, &log);
      registrar.FailCall(failure.call);
      EXPECT_FALSE(group.registration(registrar)) << what;
      EXPECT_EQ(registrar.GetCallCount(), failure.call) << what;
      EXPECT_EQ(Footprint(script.engine) - before, failure.call - 1) << what;
      ASSERT_EQ(log.entries.size(), 1u) << what;
      EXPECT_EQ(log.entries[0].source, failure.source ? failure.source : group.source) << what;
      EXPECT_EQ(log.entries[0].level, CEngineLog::kLevelError) << what;
      EXPECT_EQ(log.entries[0].text, std::string(failure.message) + "\n") << what;
    }
  }
}

TEST(ScriptRegistration, ARefusalByTheScriptEngineIsLoggedWithTheCallersLine) {
  ScriptTestEngine script;
  CRecordingEngineLog log;
  CScriptRegistrar registrar(script.engine, &log);
  {
    CScriptRegistrar::SourceScope source(registrar, "Outer");
    EXPECT_TRUE(registrar.Type("Thing", 4, asOBJ_VALUE | asOBJ_POD | asOBJ_APP_PRIMITIVE, "first"));
    {
      CScriptRegistrar::SourceScope inner(registrar, "Inner");
    }
    const int line = __LINE__ + 1;
    EXPECT_FALSE(registrar.Type("Thing", 4, asOBJ_VALUE | asOBJ_POD | asOBJ_APP_PRIMITIVE, "again"));
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].source, "Outer");
    EXPECT_EQ(log.entries[0].line, line);
    EXPECT_EQ(log.entries[0].text, "again\n");
  }
  // Failed once, failed for good: later calls reach nothing and log nothing.
  EXPECT_FALSE(registrar.Property("Thing", "int other", 0, "later"));
  EXPECT_FALSE(registrar.Call([] { return 0; }, "later"));
  EXPECT_EQ(registrar.GetCallCount(), 2);
  EXPECT_EQ(log.entries.size(), 1u);
  EXPECT_TRUE(registrar.HasFailed());
}

// The whole of RegisterBasicTypes: step 1's types first, then each group in order.
struct DriverFailure {
  int call;
  const char* source;
  const char* message;
  const char* firstMissing;  // the first type that must not exist afterwards
};

TEST(ScriptRegistration, RegisterBasicTypesStopsAtTheFirstRefusal) {
  const DriverFailure failures[] = {
      {1, "BasicTypes", "Can't Add bstr Basic Type To The Script (1)", "CVector3"},
      {2, "BasicTypes", "Can't Add array Basic Type To The Script (1)", "VoidPtr"},
      {3, "BasicTypes", "Can't Add VoidPtr Basic Type To The Script (1)", "CVector3"},
      {4, "BasicTypes", "Can't Add CVector3 Basic Type To The Script (1)", "CMatrix"},
      {41, "MatrixType", "Can't Add CMatrix Basic Type To The Script (1)", "CRay"},
      {81, "RayType", "Can't Add CRay Basic Type To The Script (1)", "Vertex"},
      {91, "BasicTypes", "Can't Add Vertex Basic Type To The Script (1)", "Face"},
      {121, "BasicTypes", "Can't Declare Contructor1 For SurfaceTexture", "CKeyInterface"},
      {122, "EnvelopeType", "Can't Add CKeyInterface* ZeKorb Type To The Script (1)",
       "CChannelEnvelopeInterface"},
      {154, "InitD3DStructs", "Can't Add RECT ZeKorb Type To The Script (1)", "CSceneInterface"},
      {198, "ZeKorbAddTypes", "Can't Add CSceneInterface* ZeKorb Type To The Script (1)",
       "CSpriteInterface"},
      {199, "SpriteType", "Can't Add CSpriteInterface* ZeKorb Type To The Script (1)",
       "CNullInterface"},
      {258, "InitD3DInterface", "Can't Add CVertexDeclarationInterface* ZeKorb Type To The Script (1)",
       "CD3D9RendererInterface"},
      {346, "ZeKorbTypes", "Can't Add CMeshInterface* ZeKorb Type To The Script (1)",
       "CTextureInterface"},
      {347, "MaterialTypes", "Can't Add CTextureInterface* ZeKorb Type To The Script (1)",
       "CSurfaceInterface"},
      {433, "MeshType", "Can't Add CMeshBoundVolumeInterface* ZeKorb Type To The Script (1)",
       "CWorldObjectInterface"},
      {604, "SceneTypes", "Can't Add ColorByte ZeKorb Type To The Script (1)", "ColorByte"},
      {672, "ZeKorbParentFunctions", "ERROR!!! - Can't Register GetMeshParent() Function",
       "CZeKorbD3DInterface"},
      {677, "InitVFSType", "Can't Add VFSFile* ZeKorb Type To The Script (1)", "CVirtualFileSystemInterface"},
      {744, "InitZeKorbInterface", "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (1)",
       "CZeKorbD3DInterface"},
      {759, "InitZeKorbInterface", "ERROR!!! - Can't Register MessageBox() Function", nullptr},
  };
  for (const DriverFailure& failure : failures) {
    ScriptTestEngine script;
    CRecordingEngineLog log;
    CScriptRegistrar registrar(script.engine, &log);
    registrar.FailCall(failure.call);
    EXPECT_FALSE(RegisterBasicTypes(registrar)) << failure.call;
    EXPECT_EQ(registrar.GetCallCount(), failure.call);
    ASSERT_EQ(log.entries.size(), 1u) << failure.call;
    EXPECT_EQ(log.entries[0].source, failure.source) << failure.call;
    EXPECT_EQ(log.entries[0].text, std::string(failure.message) + "\n") << failure.call;
    if (failure.firstMissing != nullptr) {
      EXPECT_EQ(script.engine->GetTypeInfoByName(failure.firstMissing), nullptr) << failure.call;
    }
  }
}

TEST(ScriptRegistration, ABstrTheScriptEngineRefusesFailsTheWholeRegistration) {
  ScriptTestEngine script;
  // Someone took the name first: the library cannot build a script with a literal in it.
  ASSERT_GE(script.engine->RegisterObjectType("bstr", 4, asOBJ_VALUE | asOBJ_POD), 0);
  CRecordingEngineLog log;
  CScriptRegistrar registrar(script.engine, &log);
  EXPECT_FALSE(RegisterBasicTypes(registrar));
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "Can't Add bstr Basic Type To The Script (1)\n");
  EXPECT_EQ(script.engine->GetTypeInfoByName("CVector3"), nullptr);
}

TEST_F(ScriptBindingsTest, EveryTypeIsRegisteredInTheExpectedNumberOfCalls) {
  EXPECT_EQ(registrar.GetCallCount(), 759);
  EXPECT_TRUE(log.entries.empty());
  for (const char* type : {"bstr", "array", "VoidPtr", "CVector3", "CVector4", "CMatrix", "CRay",
                           "Vertex", "Face", "Edge", "CMaterialInterface", "SurfaceTexture",
                           "CKeyInterface", "CChannelEnvelopeInterface", "CEnvelopeInterface",
                           "CSceneInterface", "CMeshInterface", "CZeKorbD3DInterface", "RECT",
                           "D3DVERTEXELEMENT9", "CSpriteInterface", "CSpriteStorageInterface",
                           "CNullInterface", "ShaderParameter", "HWND", "CD3D9RendererInterface",
                           "CTextureInterface", "MaterialTexture2", "CSurfaceInterface",
                           "CMeshBoundVolumeInterface", "CWorldObjectInterface", "TrianglePair",
                           "CNullOptionsInterface", "TonarisStream", "CCameraInterface",
                           "CLightBoundVolumeInterface", "CLightInterface", "ColorByte", "VFSFile",
                           "CVirtualFileSystemInterface", "ZKAllocatorInterface",
                           "TonarisListener", "TonarisInterface", "CTimerInterface"})
    EXPECT_NE(script.engine->GetTypeInfoByName(type), nullptr) << type;
  EXPECT_EQ(script.Run("array<CVector3> points(3); points[2].z = 1; float[] f = {1, 2};"),
            asEXECUTION_FINISHED)
      << script.messages;
}

TEST_F(ScriptBindingsTest, BstrAndVoidPtrBehaveAsInABareEngine) {
  bstr_snippets::RegisterHelpers(script.engine);
  bstr_snippets::Check(script);
}

}  // namespace
