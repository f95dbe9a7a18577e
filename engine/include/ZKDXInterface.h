#pragma once
// The engine as the game and the engine's scripts see it: the one export, the top interface
// and every interface it hands out. Each interface is implemented by one engine class; callers
// hold interface pointers only and never create, copy or delete the objects behind them
// (except where an interface says the caller owns what it was given).
//
// Operations are declared in their table order, which is also their slot order. Interfaces
// carry no data; the engine's classes hold the fields. Destructors are protected and
// non-virtual so that they take no slot, except on the objects a caller owns and deletes
// (timers, envelopes, channels, keys, virtual disks), where a virtual destructor follows the
// last operation.
#include "ConsoleFunction.h"
#include "TonarisInterface.h"
#include "ZKDXGlobals.h"
#include "ZeKorbD3DHeader.h"
#include "windef.h"

// Engine classes that the top interface hands out by their own type; their declarations belong
// to the subsystems that implement them.
class CD3D9Enumeration;
class CEngineLog;
class CScriptStorage;
class CProfiler;
class CTokenizer;
class CConsole;
class CParticleEmiterFactory;
class CMotion;
class CBone;
class CCamera;

class CWorldObjectInterface;
class CMeshInterface;
class CSurfaceInterface;
class CLightInterface;
class CCameraInterface;
class CNullInterface;
class CNullOptionsInterface;
class CSceneInterface;
class CKeyInterface;
class CChannelEnvelopeInterface;
class CMotionInterface;
class CEnvelopeInterface;
class CTimerInterface;
class CSettingsInterface;
class CInputControllersInterface;
class CVirtualFileSystemInterface;
class CVirtualDiskInterface;
class VFSFile;
class ZKAllocatorInterface;
class CMeshBoundVolumeInterface;
class CLightBoundVolumeInterface;

// Shader choosers that replace the shader library's default choice; each returns 1 when the
// object it was given can be drawn with shaders.
typedef UINT (*SceneShaderChooser)(CSceneInterface* scene);
typedef UINT (*MeshShaderChooser)(CMeshInterface* mesh);
typedef UINT (*SurfaceShaderChooser)(CSurfaceInterface* surface);

// ---------------------------------------------------------------------------------------------
// Top interface

class CZeKorbD3DInterface {
 public:
  // Checks the block and starts the engine; any failure ends the process. Returns 1.
  virtual UINT Init(ZeKorbConfig* config) = 0;
  virtual CD3D9Enumeration* GetAdapterEnumeration() = 0;
  // Stores a new empty scene in *scene (null when it cannot be made).
  virtual void AddScene(CSceneInterface** scene) = 0;
  // Loads "name" (".zks" or ".lws"; without an extension ".zks" is tried first) into *scene.
  // mode 1 assigns shaders, 0 prepares the scene for the coded path. The choosers may be null.
  virtual void LoadScene(CSceneInterface** scene, const char* name, UINT mode, UINT readerFlag,
                         SceneShaderChooser sceneChooser, MeshShaderChooser meshChooser,
                         SurfaceShaderChooser surfaceChooser) = 0;
  virtual CEngineLog* GetLogInterface() = 0;
  // A new running timer on each call, owned by the caller; null when memory runs out.
  virtual CTimerInterface* CreateTimer() = 0;
  virtual CD3D9RendererInterface* GetD3DRendererInterface() = 0;
  // The block handed to Init, with the video mode the engine settled on written back.
  virtual ZeKorbConfig* GetConfiguration() = 0;
  // Logs, shows the box and runs the shutdown; returns only when a quit callback is used.
  virtual void CriticalError(const char* title, const char* format, ...) = 0;
  // Logs and shows an error box; returns the box's result.
  virtual int ErrorMessage(const char* title, const char* format, ...) = 0;
  virtual void CloseZeKorb() = 0;
  virtual UINT SaveSceneToZKS(CSceneInterface* scene, UINT saveTextures) = 0;
  // Null, with a warning in the log, when no scene is active.
  virtual CSceneInterface* GetActiveScene() = 0;
  virtual void SetActiveScene(CSceneInterface* scene) = 0;
  // Null unless the configuration switched sound on.
  virtual TonarisInterface* GetTonarisInterface() = 0;
  virtual CVirtualFileSystemInterface* GetVFSInterface() = 0;
  // Draws nothing.
  virtual void PrintText(float x, float y, const char* text, UINT length) = 0;
  // 0 while there is no console.
  virtual int RegisterConsoleFunction(ConsoleFunction* function) = 0;
  // New video mode, preset and scheme; non-zero on success, 0 keeps the old mode.
  virtual UINT ChangeConfiguration(ZeKorbConfig* config) = 0;
  virtual CChannelEnvelopeInterface* CreateChannelEnvelope() = 0;
  virtual CScriptStorage* GetScriptStorage() = 0;
  virtual CInputControllersInterface* GetInputControllersInterface() = 0;
  virtual CProfiler* GetProfiler() = 0;
  virtual CSettingsInterface* GetSettingsInterface() = 0;
  virtual ZKAllocatorInterface* GetAllocatorInterface() = 0;
  virtual HWND GetWindowHandle() = 0;
  virtual CEnvelopeInterface* CreateEnvelope() = 0;
  virtual CTokenizer* CreateTokenizer() = 0;
  virtual CTimerInterface* GetEngineTimer() = 0;
  // Null before Init.
  virtual CConsole* GetConsoleInterface() = 0;
  virtual CParticleEmiterFactory* GetParticleEmiterFactory() = 0;

 protected:
  ~CZeKorbD3DInterface() = default;
};

// The engine library's one export. It checks the descriptor (a version or size mismatch ends
// the process) and returns the static top interface, or null.
typedef CZeKorbD3DInterface* (*GetZeKorbD3DInterfaceProc)(ApplicationDescriptor* descriptor);
extern "C" __attribute__((visibility("default"))) CZeKorbD3DInterface* GetZeKorbD3DInterface(
    ApplicationDescriptor* descriptor);

// ---------------------------------------------------------------------------------------------
// Core services

class CTimerInterface {
 public:
  // Seconds since the start or the last Reset, without the time spent paused.
  virtual float GetTime() = 0;
  // Seconds since the mark; a non-zero flag moves the mark to now.
  virtual float GetTimeGain(UINT moveMark) = 0;
  virtual float GetTickingPerSecond() = 0;
  virtual void Resume() = 0;
  virtual void Pause() = 0;
  virtual void Reset() = 0;
  virtual UINT IsPaused() = 0;
  virtual ~CTimerInterface() = default;
};

class ZKAllocatorInterface {
 public:
  // A block of at least size bytes from the engine's page, or null.
  virtual void* AllocateMemory(UINT size) = 0;
  // 1 when pointer was the start of a block in use, else 0.
  virtual UINT DeleteMemory(void* pointer) = 0;

 protected:
  ~ZKAllocatorInterface() = default;
};

// Results of the VFS operations that report "not found" as -1.
constexpr UINT VFS_NOT_FOUND = 0xFFFFFFFF;

enum : UINT {
  VFS_DISK_DATA = 0,
  VFS_DISK_SHADER = 1,
};

enum : int {
  VFS_SOURCE_CLOSED = -1,
  VFS_SOURCE_LOOSE_FILE = 0,
  VFS_SOURCE_ARCHIVE = 1,
};

class CVirtualFileSystemInterface {
 public:
  // Mounts an archive (chosen by its extension: zkz, zkr, zka); returns its slot or
  // VFS_NOT_FOUND. offset and length place the archive inside its file (length 0: to the end).
  virtual UINT AddVirtualDisk(const char* name, UINT diskKind, UINT offset, UINT length,
                              const char* password) = 0;
  virtual UINT CloseVirtualDisk(const char* name) = 0;
  virtual UINT GetNumberOfVirtualDisks() = 0;
  // VFS_NOT_FOUND, or where the file would be read from (a VFS_SOURCE_ value).
  virtual UINT LocateNormalFile(const char* name) = 0;
  virtual UINT LocateShaderFile(const char* name) = 0;
  // An open file from the data disks or loose on disk, or null; the caller closes it.
  virtual VFSFile* OpenNormalFile(const char* name, const char* mode) = 0;
  virtual VFSFile* OpenShaderFile(const char* name, const char* mode) = 0;
  virtual UINT Deinitialize() = 0;

 protected:
  ~CVirtualFileSystemInterface() = default;
};

enum : UINT {
  VFS_ARCHIVE_ZLIB = 1,
  VFS_ARCHIVE_ACE = 2,
  VFS_ARCHIVE_RAR = 3,
};

// One mounted archive, whatever its format.
class CVirtualDiskInterface {
 public:
  virtual UINT GetNumberOfFiles() = 0;
  // Member index of the lower-case name, or -1.
  virtual int FindFile(const char* name) = 0;
  virtual const char* GetFileName(UINT index) = 0;
  virtual UINT GetFileLength(UINT index) = 0;
  virtual UINT GetPackedSize(UINT index) = 0;
  // The member's whole uncompressed data, or null; hand it back with ReleaseFileData.
  virtual BYTE* GetFileData(UINT index) = 0;
  virtual UINT ReleaseFileData(BYTE* data) = 0;
  virtual UINT IsAvailable() = 0;
  virtual UINT GetArchiveType() = 0;
  virtual UINT GetDiskKind() = 0;
  virtual const char* GetDiskName() = 0;
  virtual ~CVirtualDiskInterface() = default;
};

// A file opened through the virtual file system, loose on disk or a member of an archive.
// Archive members are read-only.
class VFSFile {
 public:
  virtual int GetFileSource() = 0;
  virtual UINT GetFileLength() = 0;
  // The member's data in memory; null for loose files.
  virtual BYTE* GetFileBuffer() = 0;
  virtual UINT Read(void* buffer, UINT size, UINT count) = 0;
  virtual UINT Write(const void* buffer, UINT size, UINT count) = 0;
  // One line, as stdio's fgets reads it in text mode; null at the end or when closed.
  virtual char* Gets(char* buffer, int count) = 0;
  // origin 0 start, 1 current, 2 end; 0 on success.
  virtual BYTE Seek(LONG offset, int origin) = 0;
  virtual LONG Tell() = 0;
  virtual int Close() = 0;
  // The next byte (0 to 255), or -1 at the end or when closed.
  virtual int Getc() = 0;
  virtual const char* GetFileName() = 0;

 protected:
  ~VFSFile() = default;
};

// One named setting. The value operations come first, in the engine's slot order.
class CSettingEntryInterface {
 public:
  enum Type { kUnset = 0, kInteger = 1, kFloat = 2, kString = 3 };
  virtual void SetInt(int value) = 0;
  virtual void SetFloat(float value) = 0;
  // Returns the number of characters stored (0 when locked).
  virtual int SetString(const char* text) = 0;
  virtual int GetType() = 0;
  // No conversion between types: a getter of another type gives 0, 0.0 or null.
  virtual int GetInt() = 0;
  virtual float GetFloat() = 0;
  virtual const char* GetString() = 0;

 protected:
  ~CSettingEntryInterface() = default;
};

// The engine's named settings; the game adds its own.
class CSettingsInterface {
 public:
  // The entry of that name, or a new one appended; null for a null name.
  virtual CSettingEntryInterface* AddSetting(const char* name) = 0;

 protected:
  ~CSettingsInterface() = default;
};

// ---------------------------------------------------------------------------------------------
// Input

// A pair of the action map: the action reported for a device object.
struct ActionPair {
  DWORD dwAction;
  DWORD dwObject;
};
static_assert(sizeof(ActionPair) == 8);

// The game's mouse action callback: action identifier, axis value, state (a button's value).
// Runs on the input thread.
typedef void (*MouseActionCallback)(UINT action, float value, UINT state);
// Action identifier and 1 pressed or 0 released; runs on the input thread.
typedef void (*KeyActionCallback)(UINT action, UINT pressed);
// A typed character; runs on the main thread.
typedef void (*KeyCharCallback)(UINT character);

class CMouseInterface {
 public:
  virtual void SetCallback(MouseActionCallback callback) = 0;
  // Replaces the action map; 0 when memory ran out and the map is empty.
  virtual UINT SetActionMapper(const ActionPair* pairs, UINT count) = 0;
  // Non-zero keeps the system cursor at the window centre.
  virtual void SetCentreLock(UINT lock) = 0;
  virtual void SetSensitivity(float sensitivity) = 0;
  virtual void ShowCursor(UINT show) = 0;

 protected:
  ~CMouseInterface() = default;
};

class CKeyboardInterface {
 public:
  virtual void SetCallback(KeyActionCallback callback) = 0;
  virtual void SetCharCallback(KeyCharCallback callback) = 0;
  // Replaces the action map; 0 when memory ran out and the map is empty.
  virtual UINT SetActionMapper(const ActionPair* pairs, UINT count) = 0;

 protected:
  ~CKeyboardInterface() = default;
};

// The engine's input devices; either may be missing (null).
class CInputControllersInterface {
 public:
  virtual CMouseInterface* GetMouse() = 0;
  virtual CKeyboardInterface* GetKeyboard() = 0;

 protected:
  ~CInputControllersInterface() = default;
};

// ---------------------------------------------------------------------------------------------
// Animation: keys, keyed channels and envelopes

enum : UINT {
  KEY_SHAPE_TCB = 0,
  KEY_SHAPE_HERMITE = 1,
  KEY_SHAPE_BEZIER = 2,
  KEY_SHAPE_LINEAR = 3,
  KEY_SHAPE_STEPPED = 4,
  KEY_SHAPE_BEZIER2D = 5,
};

// Indices of GetParamValue and SetParamValue.
enum : UINT {
  KEY_PARAM_TENSION = 1,
  KEY_PARAM_CONTINUITY = 2,
  KEY_PARAM_BIAS = 3,
  KEY_PARAM_0 = 4,  // to KEY_PARAM_0 + 3
};

class CKeyInterface {
 public:
  virtual float GetKeyValue() = 0;
  virtual float GetKeyTime() = 0;
  virtual CKeyInterface* GetNextKey() = 0;
  virtual CKeyInterface* GetPrevKey() = 0;
  virtual void AddValue(float value) = 0;
  virtual void SetKeyValue(float value) = 0;
  // The key keeps its place in its channel.
  virtual void SetKeyTime(float time) = 0;
  virtual UINT GetShape() = 0;
  virtual void SetShape(UINT shape) = 0;
  // Any index other than the KEY_PARAM_ ones gives the largest float.
  virtual float GetParamValue(UINT index) = 0;
  virtual void SetParamValue(float value, UINT index) = 0;
  virtual ~CKeyInterface() = default;

  // Equal when shape, bias, continuity, tension, time, value and the four parameters are
  // exactly equal; the links are not compared.
  bool IsEqual(CKeyInterface* other) {
    if (GetShape() != other->GetShape() || GetKeyTime() != other->GetKeyTime() ||
        GetKeyValue() != other->GetKeyValue())
      return false;
    for (UINT index = KEY_PARAM_TENSION; index < KEY_PARAM_0 + 4; ++index)
      if (GetParamValue(index) != other->GetParamValue(index)) return false;
    return true;
  }
  bool IsDifferent(CKeyInterface* other) { return !IsEqual(other); }
};

// One animated float: keys ordered by strictly increasing time and what happens before the
// first and after the last. Behaviour 1 is constant.
class CChannelEnvelopeInterface {
 public:
  // Evaluates the channel at the time and stores the result as its value.
  virtual void EvalEnvelope(float time) = 0;
  virtual float GetValue() = 0;
  virtual UINT GetNumberOfKeys() = 0;
  // Unlinks and frees the key; 0 when it is not in this channel.
  virtual UINT RemoveKey(CKeyInterface* key) = 0;
  virtual UINT RemoveKeyAtTime(float time) = 0;
  // The first key at exactly this time, or null.
  virtual CKeyInterface* GetKey(float time) = 0;
  // Copies out the fields of the key at exactly this time; 0 when there is none.
  virtual UINT GetKeyData(float time, float* value, UINT* shape, float* tension,
                          float* continuity, float* bias, float* param0, float* param1,
                          float* param2, float* param3) = 0;
  virtual UINT SetKeyData(float value, float time, UINT shape, float tension, float continuity,
                          float bias, float param0, float param1, float param2,
                          float param3) = 0;
  // Inserts the key by time, taking ownership; 0 when refused.
  virtual UINT AddKey(CKeyInterface* key) = 0;
  virtual UINT AddKeyData(float value, float time, UINT shape, float tension, float continuity,
                          float bias, float param0, float param1, float param2,
                          float param3) = 0;
  // The key at this position of the list, or null.
  virtual CKeyInterface* GetKey(UINT index) = 0;
  virtual UINT RemoveAllKeys() = 0;
  virtual UINT GetPreBehaviour() = 0;
  virtual UINT GetPostBehaviour() = 0;
  virtual void SetPreBehaviour(UINT behaviour) = 0;
  virtual void SetPostBehaviour(UINT behaviour) = 0;
  // A new key, in no list yet; null when memory runs out.
  virtual CKeyInterface* CreateKey() = 0;
  virtual ~CChannelEnvelopeInterface() = default;
};

// A value that is either a constant or follows a keyed channel.
class CEnvelopeInterface {
 public:
  // 1: the value follows the channel; anything else: the value is a constant.
  virtual UINT GetIsEnvelope() = 0;
  // Steps a keyed envelope to the frame.
  virtual void CalcStep(float frame) = 0;
  virtual UINT SetIsEnvelope(UINT isEnvelope) = 0;
  virtual float GetValue() = 0;
  // Refused (0) while the envelope is keyed.
  virtual UINT SetValue(float value) = 0;
  virtual CChannelEnvelopeInterface* GetChannelEnvelope() = 0;
  virtual ~CEnvelopeInterface() = default;

  // Same is-envelope flag and pairwise equal keys; constant values are not compared.
  static bool IsEqual(CEnvelopeInterface* a, CEnvelopeInterface* b) {
    if (a->GetIsEnvelope() != b->GetIsEnvelope()) return false;
    CChannelEnvelopeInterface* channelA = a->GetChannelEnvelope();
    CChannelEnvelopeInterface* channelB = b->GetChannelEnvelope();
    const UINT keys = channelA->GetNumberOfKeys();
    if (keys != channelB->GetNumberOfKeys()) return false;
    for (UINT i = 0; i < keys; ++i)
      if (!channelA->GetKey(i)->IsEqual(channelB->GetKey(i))) return false;
    return true;
  }
};

// The animated transform of a scene object: nine keyed channels evaluated together (position,
// heading, pitch, bank, scale).
class CMotionInterface {
 public:
  // Records the frame and evaluates the channels in use at it.
  virtual void Evaluate(float frame) = 0;
  virtual UINT GetNumberOfChannels() = 0;
  // Null for an index outside the nine channels.
  virtual CChannelEnvelopeInterface* GetChannel(UINT index) = 0;
  virtual float GetLastFrame() = 0;

 protected:
  ~CMotionInterface() = default;
};

// ---------------------------------------------------------------------------------------------
// Scene graph

// The operations every mesh, camera, null and light begins with. Operations that take an
// "ignored" argument take one unsigned word that they do not read (scripts pass 1).
class CWorldObjectInterface {
 public:
  virtual UINT GetWorldObjectType() = 0;
  virtual CWorldObjectInterface* GetNextWorldObject() = 0;
  // Brings the object up to date for the frame and returns its world matrix.
  virtual CMatrix* GetMatrix(float frame) = 0;
  virtual CMatrix* GetRotationMatrix(float frame) = 0;
  virtual void RemoveAdditionalTransformation() = 0;
  virtual CWorldObjectInterface* GetParentObject(UINT ignored) = 0;
  virtual void AddRef() = 0;
  virtual void Release() = 0;

 protected:
  ~CWorldObjectInterface() = default;
};

class CMeshInterface : public CWorldObjectInterface {
 public:
  virtual CSurfaceInterface* GetSurface(UINT index) = 0;
  virtual CSurfaceInterface* GetSurfaceByName(const char* name) = 0;
  virtual Vertex* GetVertex(UINT index) = 0;
  virtual Vertex* GetVertices() = 0;
  virtual CMeshInterface* GetMorphedTo(UINT ignored) = 0;
  virtual CSceneInterface* GetScene(UINT ignored) = 0;
  virtual CBone* GetBone(UINT index) = 0;
  virtual Face* GetFace(UINT index) = 0;
  virtual Edge* GetEdge(UINT index) = 0;
  virtual CSurfaceInterface* GetCurrentSurface() = 0;
  virtual CMeshBoundVolumeInterface* GetBoundingBox(UINT ignored) = 0;
  virtual const char* GetName() = 0;
  virtual CVector3* GetPivot() = 0;
  virtual UINT GetNumberOfVertices() = 0;
  virtual UINT GetNumberOfSurfaces() = 0;
  virtual UINT GetSurfaceState() = 0;
  virtual UINT GetNumberOfParentObject() = 0;
  virtual UINT GetParentType() = 0;
  virtual UINT GetNumberOfBones() = 0;
  virtual UINT GetNumberOfFaces() = 0;
  virtual UINT GetNumberOfEdges() = 0;
  virtual UINT GetNumberOfMorphTarget() = 0;
  virtual UINT GetIsMorph() = 0;
  virtual UINT GetUseBones() = 0;
  virtual UINT SetUseBones(UINT useBones) = 0;
  virtual UINT SetIsMorph(UINT isMorph) = 0;
  virtual UINT GetCanCastShadowVolume() = 0;
  // The frame of the last completed hierarchy pass.
  virtual float GetFrame() = 0;
  virtual UINT GetIsDynamic() = 0;
  virtual CEnvelopeInterface* GetEnvDissolve() = 0;
  virtual UINT CheckIntersectionWith(CRay& ray, float* distance, UINT flags,
                                     CVector3* normal) = 0;
  virtual UINT CheckIntersectionWith(CRay& ray, float* distance, UINT flags) = 0;
  virtual UINT CheckIntersectionWithFace(CRay& ray, float* distance, UINT flags,
                                         UINT face) = 0;
  // flag 0: world space; flag 1: local.
  virtual void GetPosition(CVector3* out, UINT flag) = 0;
  virtual void GetRotation(CVector3* out, UINT flag) = 0;
  virtual void SetPosition(const CVector3& position) = 0;
  // An explicit rotation as a quaternion.
  virtual void SetAdditionalTransformation(float x, float y, float z, float w) = 0;
  // Heading, pitch, bank in radians.
  virtual void SetRotation(const CVector3& rotation) = 0;
  virtual void SetScale(const CVector3& scale) = 0;
  virtual void GetScale(CVector3* out) = 0;
  // frame -1.0 makes the mesh follow the frame it is given; recurse 1 also sets the children.
  virtual void SetFrame(float frame, UINT recurse) = 0;
  virtual UINT SetRotationOrder(UINT order) = 0;
  virtual UINT GetRotationOrder() = 0;
  virtual void SetParentObject(CWorldObjectInterface* parent) = 0;
  virtual UINT GetVisibleByCameras() = 0;
  virtual UINT GetVisibleByRays() = 0;
  virtual UINT GetVisibleByCollisions() = 0;
  virtual CMotionInterface* GetMotion(float frame) = 0;
  virtual UINT LoadMesh(const char* name, UINT flag, UINT readerArgument) = 0;
  virtual CVertexBufferInterface* GetVertexBuffer(UINT ignored) = 0;
  virtual UINT SetSurfaceState(UINT state) = 0;
  virtual void DrawBones() = 0;
  virtual void DrawBoundVolume() = 0;
  virtual CSceneInterface* GetOwnerScene() = 0;
  virtual CWorldObjectInterface* GetTopmostParent() = 0;
  virtual void CreateVertexBuffers() = 0;
  virtual UINT Clone(CMeshInterface** clone) = 0;
  virtual UINT Merge(CMeshInterface* other, UINT flags, const char* newName,
                     CMatrix* matrix) = 0;
  virtual UINT SetTag(UINT tag) = 0;
  virtual const char* GetShaderFileName() = 0;
  virtual UINT GetUseShader() = 0;
  virtual UINT SetShaderFile(const char* fileName, UINT manualShader) = 0;
  virtual UINT CreateShader(const char* fileName, ShaderParameter* parameters,
                            UINT numberOfParameters, UINT manualShader) = 0;
  // Choosers may be null: the shader library then chooses.
  virtual UINT ApplyDefaultShader(MeshShaderChooser meshChooser,
                                  SurfaceShaderChooser surfaceChooser) = 0;
  virtual UINT SetName(const char* name) = 0;
  virtual UINT UpdateSurfaceState() = 0;
  virtual void SetCanCastShadowVolume(UINT canCast) = 0;
  virtual void SetVisibility(UINT byCameras, UINT byRays, UINT byCollisions) = 0;
  virtual void SetPivot(const CVector3& pivot) = 0;
  virtual UINT SetVertices(UINT count, Vertex* vertices, UINT rebuildBoundVolume) = 0;
  virtual UINT SetFaces(UINT count, Face* faces) = 0;
  virtual UINT SetEdges(UINT count, Edge* edges) = 0;
  virtual void RebuildBoundVolume() = 0;
  virtual CSurfaceInterface* CreateSurface() = 0;
  virtual void PrepareMatrices(float frame) = 0;
  virtual void UpdateHierarchy(float frame) = 0;
  virtual CMatrix* GetCurrentRotationMatrix() = 0;
  virtual CMatrix* GetCurrentMatrix() = 0;
  virtual void GetUserDefinedData(void** data, UINT* value1, UINT* value2) = 0;
  virtual void SetUserDefinedData(void* data, UINT value1, UINT value2) = 0;
  // *pairs points into the collision manager's answer, valid until the next query.
  virtual UINT CheckCollisionWith(CMeshInterface* other, UINT kind, UINT* numberOfPairs,
                                  TrianglePair** pairs) = 0;
  virtual UINT GetIsVisibleByRays() = 0;
  // The same flag as GetVisibleByCameras.
  virtual UINT GetIsVisibleByCameras() = 0;
  virtual void ComputeNormals() = 0;

 protected:
  ~CMeshInterface() = default;
};

// Material channels of GetMaterialValue, SetMaterialValue and the material envelopes.
enum : UINT {
  MATERIAL_DIFFUSE = 1,
  MATERIAL_SPECULAR_GLOSSINESS = 2,
  MATERIAL_SPECULAR_EXPONENT = 3,
  MATERIAL_REFRACTION = 4,
  MATERIAL_REFLECTION = 5,
  MATERIAL_TRANSPARENCY = 6,
  MATERIAL_FRESNEL_EXPONENT = 8,
  MATERIAL_LUMINOSITY = 9,
  MATERIAL_TRANSLUCENCY = 10,
  MATERIAL_COLOR_RED = 15,
  MATERIAL_COLOR_GREEN = 16,
  MATERIAL_COLOR_BLUE = 17,
};

// Texture kinds of a surface: which slot, and which image of it.
enum : UINT {
  SURFACE_TEXTURE_COLOR0 = 1,
  SURFACE_TEXTURE_COLOR1 = 2,
  SURFACE_TEXTURE_MATERIAL1_RED = 7,
  SURFACE_TEXTURE_MATERIAL1_GREEN = 8,
  SURFACE_TEXTURE_MATERIAL1_BLUE = 9,
  SURFACE_TEXTURE_MATERIAL2_BLUE = 10,
  SURFACE_TEXTURE_MATERIAL1_ALPHA = 11,
  SURFACE_TEXTURE_COLOR0_SECOND = 12,
  SURFACE_TEXTURE_NORMAL = 13,
  SURFACE_TEXTURE_MATERIAL2_GREEN = 15,
  SURFACE_TEXTURE_MATERIAL2_ALPHA = 16,
  SURFACE_TEXTURE_MATERIAL2_RED = 17,
  SURFACE_TEXTURE_NORMAL_SECOND = 20,
  SURFACE_TEXTURE_REFLECTION = 21,
  SURFACE_TEXTURE_REFRACTION = 22,
};

// Bit 0 of a surface's flag word.
constexpr WORD SURFACE_FLAG_TRANSPARENT = 0x0001;

class CSurfaceInterface {
 public:
  virtual void AddRef() = 0;
  virtual void Release() = 0;
  virtual const char* GetName() = 0;
  virtual UINT SetName(const char* name) = 0;
  virtual CMaterialInterface* GetMaterial(UINT ignored) = 0;
  virtual CMeshInterface* GetParentMesh(UINT ignored) = 0;
  virtual SurfaceTexture* GetColor0Texture() = 0;
  virtual SurfaceTexture* GetColor1Texture() = 0;
  virtual SurfaceTexture* GetNormalTexture() = 0;
  virtual SurfaceTexture* GetMaterialTexture1() = 0;
  virtual SurfaceTexture* GetMaterialTexture2() = 0;
  virtual SurfaceTexture* GetTexture(UINT kind) = 0;
  virtual UINT GetShadeType() = 0;
  virtual WORD GetFlags() = 0;
  virtual WORD GetNumberOfIndices() = 0;
  virtual float GetMaterialValue(UINT channel) = 0;
  // The image's name, or null when the slot is empty or the kind selects nothing.
  virtual const char* GetTextureFileName(UINT kind) = 0;
  // An unused slot: returns 0.
  virtual UINT NoOperation(UINT value1, UINT value2) = 0;
  virtual UINT SetTexture(UINT kind, const char* fileName) = 0;
  virtual void SetFlags(WORD flags) = 0;
  virtual void AddFlags(WORD flags) = 0;
  virtual void SetShadingType(UINT shadeType) = 0;
  virtual void SetMaterialValue(UINT channel, float value) = 0;
  // Red, green and blue.
  virtual float* GetColor() = 0;
  virtual UINT SetIndices(UINT count, WORD* indices) = 0;
  // The caller's additional vectors receive values of the other arguments (see the material
  // storage).
  virtual UINT CreateMaterial(D3DCOLORVALUE* diffuse, D3DCOLORVALUE* specular,
                              D3DCOLORVALUE* emissive, CVector4* additional1,
                              CVector4* additional2, UINT unique) = 0;
  virtual void SetColor(float* color) = 0;
  virtual void SetAnimationTime(float time) = 0;
  virtual float GetAnimationTime() = 0;
  virtual UINT CopyMaterialFrom(CSurfaceInterface* other) = 0;
  virtual const char* GetShaderFileName() = 0;
  virtual UINT GetShaderProgram() = 0;
  virtual UINT CreateShader(const char* shaderName, ShaderParameter* parameters,
                            UINT numberOfParameters, UINT manualShader) = 0;
  virtual UINT AssignShader(SurfaceShaderChooser chooser) = 0;
  virtual UINT SetShaderFileName(const char* fileName, UINT manualShader) = 0;
  virtual CEnvelopeInterface* GetColorREnvelope() = 0;
  virtual CEnvelopeInterface* GetColorGEnvelope() = 0;
  virtual CEnvelopeInterface* GetColorBEnvelope() = 0;
  virtual CEnvelopeInterface* GetDiffuseEnvelope() = 0;
  virtual CEnvelopeInterface* GetLuminosityEnvelope() = 0;
  virtual CEnvelopeInterface* GetReflectionEnvelope() = 0;
  virtual CEnvelopeInterface* GetRefractionEnvelope() = 0;
  virtual CEnvelopeInterface* GetSpecularGlossinessEnvelope() = 0;
  virtual CEnvelopeInterface* GetSpecularExponentEnvelope() = 0;
  virtual CEnvelopeInterface* GetTransparencyEnvelope() = 0;
  virtual CEnvelopeInterface* GetTranslucencyEnvelope() = 0;
  virtual CEnvelopeInterface* GetFresnelEnvelope() = 0;
  virtual CEnvelopeInterface* GetMaterialEnvelope(UINT channel) = 0;
  // Takes ownership of the envelope and frees the one the channel held.
  virtual void SetMaterialEnvelope(UINT channel, CEnvelopeInterface* envelope) = 0;
  virtual UINT ProjectTextureCoordinates(UINT projection, UINT axisBits, CVector3* centre,
                                         CVector3* size, float wrapWidth,
                                         float wrapHeight) = 0;

 protected:
  ~CSurfaceInterface() = default;
};

class CCameraInterface : public CWorldObjectInterface {
 public:
  virtual CEnvelopeInterface* GetZoomEnvelope(UINT ignored) = 0;
  virtual UINT GetParentNumber() = 0;
  virtual UINT GetParentType() = 0;
  virtual UINT GetTagetNumber() = 0;
  virtual UINT GetTargetType() = 0;
  virtual CWorldObjectInterface* GetTargetObject(UINT ignored) = 0;
  virtual float GetAspect() = 0;
  virtual float GetXScreenCoordinate() = 0;
  virtual float GetYScreenCoordinate() = 0;
  virtual float GetNearClipPlane() = 0;
  virtual float GetFarClipPlane() = 0;
  virtual CMatrix* GetCurrentWorld2CameraMatrix() = 0;
  virtual CMatrix* GetWorld2CameraMatrix(float frame) = 0;
  virtual CMatrix* GetProjectionMatrix() = 0;
  virtual CVector3* GetDirectionVector() = 0;
  virtual CVector3* GetPositionVector() = 0;
  virtual void GetPosition(CVector3* out, UINT flag) = 0;
  virtual void GetRotation(CVector3* out, UINT flag) = 0;
  virtual void SetPosition(const CVector3& position) = 0;
  virtual void SetRotation(const CVector3& rotation) = 0;
  virtual CMotionInterface* GetMotion(float frame) = 0;
  virtual CSceneInterface* GetScene() = 0;
  virtual UINT SetTag(UINT tag) = 0;
  virtual UINT GetNumberOfVisibleMeshes() = 0;
  virtual CMeshInterface* GetVisibleMesh(UINT index, UINT ignored) = 0;
  virtual UINT GetNumberOfVisibleLightsOfType(UINT type) = 0;
  virtual UINT GetNumberOfVisibleLights() = 0;
  virtual CLightInterface* GetVisibleLight(UINT index, UINT ignored) = 0;
  // Six planes (a, b, c, d) into planes[0..5].
  virtual void GetFrustumPlanes(CVector4* planes, UINT normalise) = 0;
  virtual CWorldObjectInterface* GetTopmostParent() = 0;
  virtual UINT Clone(CCameraInterface** clone) = 0;
  // Makes this camera the scene's active camera.
  virtual void Set() = 0;
  virtual void SetNearClipPlane(float nearPlane) = 0;
  virtual void SetFarClipPlane(float farPlane) = 0;
  virtual void SetScreenCoordinates(float x, float y) = 0;
  virtual void SetParent(CWorldObjectInterface* parent) = 0;
  virtual void SetTarget(CWorldObjectInterface* target) = 0;
  virtual void SetFrame(float frame, UINT recurse) = 0;
  virtual BYTE GetListenerFlags() = 0;
  virtual void SetListenerFlags(BYTE flags) = 0;
  virtual void PrepareMatrices(float frame) = 0;
  virtual void UpdateHierarchy(float frame) = 0;
  virtual CMatrix* GetCurrentMatrix() = 0;
  virtual CMatrix* GetCurrentRotationMatrix() = 0;
  virtual void LookAt(CVector3* eye, CVector3* lookAt, float roll) = 0;
  virtual UINT CalculateProjectionMatrix(float nearPlane, float farPlane, float aspect) = 0;
  virtual void GetUserDefinedData(void** data, UINT* value1, UINT* value2) = 0;
  virtual void SetUserDefinedData(void* data, UINT value1, UINT value2) = 0;

 protected:
  ~CCameraInterface() = default;
};

enum : UINT {
  NULL_OPTION_VALUE = 1,
  NULL_OPTION_SPRITE = 8,
};

class CNullOptionsInterface {
 public:
  virtual void SetOption(UINT type, TonarisStream* value, UINT flags) = 0;
  virtual UINT GetOptionsTypes() = 0;
  virtual UINT GetType1Option() = 0;
  virtual TonarisStream* GetTonarisStreamOption() = 0;
  virtual UINT GetOptionFlags() = 0;
  virtual void SetOptionFlags(UINT flags) = 0;
  virtual CSpriteInterface* GetType8Option() = 0;

 protected:
  ~CNullOptionsInterface() = default;
};

class CNullInterface : public CWorldObjectInterface {
 public:
  using CWorldObjectInterface::GetParentObject;

  virtual const char* GetName() = 0;
  virtual void SetName(const char* name) = 0;
  virtual CNullOptionsInterface* GetNullOptions() = 0;
  virtual void PrepareMatrices(float frame) = 0;
  virtual void UpdateHierarchy(float frame) = 0;
  virtual CMatrix* GetCurrentRotationMatrix() = 0;
  virtual CMatrix* GetCurrentMatrix() = 0;
  virtual void GetPosition(CVector3* out, UINT flag) = 0;
  virtual void GetRotation(CVector3* out, UINT flag) = 0;
  virtual void SetScale(const CVector3& scale) = 0;
  virtual void GetScale(CVector3* out) = 0;
  virtual CMotionInterface* GetMotion(float frame) = 0;
  virtual void SetRotation(const CVector3& rotation) = 0;
  virtual void SetAdditionalTransformation(float x, float y, float z, float w) = 0;
  virtual void SetPosition(const CVector3& position) = 0;
  // The parent's interface, as the world-object form without its ignored argument.
  virtual CWorldObjectInterface* GetParentObject() = 0;
  virtual void SetParentObject(CWorldObjectInterface* parent) = 0;
  virtual void GetUserDefinedData(void** data, UINT* value1, UINT* value2) = 0;
  virtual void SetUserDefinedData(void* data, UINT value1, UINT value2) = 0;
  virtual float GetFrame() = 0;
  virtual CSceneInterface* GetScene() = 0;
  virtual void SetFrame(float frame, UINT recurse) = 0;
  virtual CWorldObjectInterface* GetTopmostParent() = 0;
  virtual UINT Clone(CNullInterface** clone) = 0;
  virtual UINT ApplyScript() = 0;
  virtual UINT StartOption() = 0;
  virtual UINT SetTag(UINT tag) = 0;

 protected:
  ~CNullInterface() = default;
};

enum : WORD {
  LIGHT_DISTANT = 0,
  LIGHT_POINT = 1,
  LIGHT_SPOT = 2,
};

class CLightInterface : public CWorldObjectInterface {
 public:
  virtual D3DLIGHT9* GetD3DLightProperties() = 0;
  virtual CWorldObjectInterface* GetTargetObject(UINT ignored) = 0;
  virtual CSceneInterface* GetParentScene() = 0;
  virtual CVector3* GetLightVector() = 0;
  virtual UINT GetTargetNumber() = 0;
  virtual UINT GetParentNumber() = 0;
  virtual UINT GetTargetType() = 0;
  virtual UINT GetParentType() = 0;
  virtual CEnvelopeInterface* GetFlareSizeEnvelope(UINT ignored) = 0;
  virtual CEnvelopeInterface* GetConeAngleEnvelope(UINT ignored) = 0;
  virtual CEnvelopeInterface* GetRangeEnvelope(UINT ignored) = 0;
  virtual CEnvelopeInterface* GetIntensityEnvelope(UINT ignored) = 0;
  virtual UINT GetFallOffType() = 0;
  virtual CMatrix* GetProjectionMatrix() = 0;
  virtual UINT GetIsFlare() = 0;
  // 0xFFRRGGBB from the diffuse colour.
  virtual UINT GetColor() = 0;
  virtual CVector3* GetColorVector(CVector3* out) = 0;
  virtual WORD GetType() = 0;
  virtual WORD GetNumber() = 0;
  virtual const char* GetName() = 0;
  virtual void SetName(const char* name) = 0;
  virtual void GetPosition(CVector3* out, UINT flag) = 0;
  virtual void GetRotation(CVector3* out, UINT flag) = 0;
  virtual void SetPosition(const CVector3& position) = 0;
  virtual void SetRotation(const CVector3& rotation) = 0;
  virtual void SetParentObject(CWorldObjectInterface* parent) = 0;
  virtual void SetTargetObject(CWorldObjectInterface* target) = 0;
  virtual CMotionInterface* GetMotion(float frame) = 0;
  virtual CWorldObjectInterface* GetTopmostParent() = 0;
  virtual UINT SetTag(UINT tag) = 0;
  virtual UINT Clone(CLightInterface** clone) = 0;
  virtual void SetFallOffType(UINT fallOffType) = 0;
  virtual void SetIsFlare(UINT isFlare) = 0;
  virtual void SetColor(UINT color) = 0;
  virtual void SetType(WORD type) = 0;
  virtual void SetFrame(float frame, UINT recurse) = 0;
  virtual CMatrix* GetCurrentRotationMatrix() = 0;
  virtual CMatrix* GetCurrentMatrix() = 0;
  virtual void GetUserDefinedData(void** data, UINT* value1, UINT* value2) = 0;
  virtual void SetUserDefinedData(void* data, UINT value1, UINT value2) = 0;
  virtual float GetFrame() = 0;
  virtual void SetIsActive(UINT isActive) = 0;
  virtual UINT GetIsActive() = 0;

 protected:
  ~CLightInterface() = default;
};

class CSceneInterface {
 public:
  virtual void AddRef() = 0;
  virtual void Release() = 0;
  virtual CWorldObjectInterface* GetWorldObjects() = 0;
  virtual CMeshInterface* GetMesh(UINT index) = 0;
  // The n-th (from 0) mesh with exactly this name, or null (logged).
  virtual CMeshInterface* GetMeshByName(const char* name, UINT n) = 0;
  virtual CLightInterface* GetLight(UINT index) = 0;
  virtual CCameraInterface* GetCamera(UINT index) = 0;
  virtual CNullInterface* GetNull(UINT index) = 0;
  virtual CNullInterface* GetNullByName(const char* name, UINT n) = 0;
  virtual UINT GetNumberOfMeshes() = 0;
  virtual UINT GetNumberOfLights() = 0;
  virtual UINT GetNumberOfCameras() = 0;
  virtual UINT GetNumberOfNullObjects() = 0;
  virtual UINT GetActiveCameraNumber() = 0;
  virtual const char* GetName() = 0;
  virtual const char* GetDirectory() = 0;
  virtual UINT BuildOctree(float minimumCellSize, UINT value) = 0;
  virtual UINT SaveOctree() = 0;
  virtual CWorldObjectInterface* GetLastWorldObject() = 0;
  virtual UINT AddWorldObject(CWorldObjectInterface* object) = 0;
  virtual UINT ApplyNullScripts() = 0;
  virtual void StartNullOptions() = 0;
  virtual void AddSprite(CSpriteInterface* sprite) = 0;
  virtual CSpriteInterface* GetSprite(UINT index) = 0;
  virtual CSpriteInterface* GetSpriteByName(const char* name, UINT n) = 0;
  virtual UINT RemoveSprite(CSpriteInterface* sprite) = 0;
  virtual UINT GetNumberOfSprites() = 0;
  virtual const char* GetShaderFileName() = 0;
  virtual UINT GetUseShader() = 0;
  virtual void SetShaderFile(const char* fileName, UINT useShader) = 0;
  virtual UINT CreateShader(const char* fileName, ShaderParameter* parameters,
                            UINT numberOfParameters, UINT useShader) = 0;
  virtual UINT ApplyDefaultShader(SceneShaderChooser sceneChooser, MeshShaderChooser meshChooser,
                                  SurfaceShaderChooser surfaceChooser) = 0;
  virtual UINT GetFirstFrame() = 0;
  virtual UINT GetLastFrame() = 0;
  virtual UINT GetFrameStep() = 0;
  virtual float GetFramesPerSecond() = 0;
  virtual CCameraInterface* GetActiveCamera() = 0;
  virtual ColorByte* GetColor() = 0;
  virtual CEnvelopeInterface* GetAmbLightIntensityEnvelope() = 0;
  virtual UINT GetFogType() = 0;
  virtual UINT GetFogColor() = 0;
  virtual float GetMinimumFogDistance() = 0;
  virtual float GetMaximumFogDistance() = 0;
  virtual UINT GetLightingModel() = 0;
  virtual float GetFrame() = 0;
  virtual void SetName(const char* name) = 0;
  virtual void SetFogType(UINT fogType) = 0;
  // Distances are floats, read back by the matching getters.
  virtual void SetFogMinDistance(float distance) = 0;
  virtual void SetFogMaxDistnace(float distance) = 0;
  virtual void SetFogColor(UINT color) = 0;
  virtual void SetLightingModel(UINT lightingModel) = 0;
  virtual void SetFirstFrame(UINT frame) = 0;
  virtual void SetLastFrame(UINT frame) = 0;
  // Red in bits 0-7, green 8-15, blue 16-23.
  virtual void SetAmbientColor(UINT color) = 0;
  virtual void Render() = 0;
  virtual void PrepareMatrices() = 0;
  virtual void UpdateHierarchy() = 0;
  virtual void SetAsActiveScene() = 0;
  virtual UINT SetActiveCamera(UINT index) = 0;
  virtual void SetFrame(float frame) = 0;
  virtual UINT GetSceneFrames() = 0;
  virtual CMeshInterface* FindNearestIntersection(CRay& ray, float* distance, UINT flags) = 0;
  virtual CMeshInterface* FindNearestIntersection(CRay& ray, float* distance, UINT flags,
                                                  CVector3* normal) = 0;
  // Moves the kinds (a mask of world-object type words) of *source into this scene; *source
  // is set to null after a merge.
  virtual UINT AddMeshes(CSceneInterface** source, UINT kinds) = 0;
  virtual CMeshInterface* AddMesh(UINT dynamicBuffers) = 0;
  virtual CCameraInterface* AddCamera() = 0;
  virtual CNullInterface* AddNull() = 0;
  virtual CLightInterface* AddLight() = 0;
  virtual void GetUserDefinedData(void** data, UINT* value1, UINT* value2) = 0;
  virtual void SetUserDefinedData(void* data, UINT value1, UINT value2) = 0;
  // *meshes points into an engine buffer, valid until the next query.
  virtual void GetPossibleColliders(CVector3& point, float radius, CMeshInterface*** meshes,
                                    UINT* count) = 0;
  virtual UINT GetBackgroundColor() = 0;
  virtual void SetBackgroundColor(UINT color) = 0;
  // The engine's own camera object (engine code only).
  virtual CCamera* GetActiveCameraObject() = 0;

 protected:
  ~CSceneInterface() = default;
};

// ---------------------------------------------------------------------------------------------
// Bounding volumes

class CMeshBoundVolumeInterface {
 public:
  // Boxes the current record transformed by the matrix along the axes; returns its extents.
  virtual CVector3* TransformAABB(CMatrix* matrix) = 0;
  virtual CVector4* GetAABBPoints() = 0;
  virtual CVector3* GetAABBPosition(CVector3* out) = 0;
  virtual CVector3* GetAABBExtents(CVector3* out) = 0;
  virtual CVector3* GetAABBMax(CVector3* out) = 0;
  virtual CVector3* GetAABBMin(CVector3* out) = 0;
  // 1 visible, 0 culled.
  virtual BYTE CheckVisibility(CMatrix& matrix) = 0;
  virtual void GetMinTransformed(CVector3* out) = 0;
  virtual void GetMaxTransformed(CVector3* out) = 0;
  virtual void GetMin(CVector3* out) = 0;
  virtual void GetMax(CVector3* out) = 0;
  virtual UINT CheckAAIntersection(CRay& ray, float* distance, UINT unused) = 0;
  virtual UINT CheckOOIntersection(CRay& ray, float* distance, UINT flags, UINT worldSpace) = 0;
  // Eight corners: corner k takes x, y, z from the maximum for bits 0, 1, 2 of k.
  virtual CVector4* GetPoints() = 0;
  virtual CVector4* GetTransformedPoints() = 0;
  virtual void GetPosition(CVector3* out) = 0;
  virtual CVector3* GetTransformedPosition(CVector3* out) = 0;
  virtual void GetExtents(CVector3* out) = 0;
  virtual UINT CheckAACollision(CMeshBoundVolumeInterface* other, CMatrix& otherMatrix) = 0;
  virtual CVector3* GetTransformedExtents(CVector3* out) = 0;
  virtual CMeshInterface* GetOwnerMesh() = 0;

 protected:
  ~CMeshBoundVolumeInterface() = default;
};

class CLightBoundVolumeInterface {
 public:
  // One outcode byte per transformed point into out[0..7].
  virtual void ComputeClipCodes(BYTE* out) = 0;
  virtual void Transform(CMatrix* matrix) = 0;
  virtual BYTE CheckVisibility(CMatrix& matrix) = 0;
  virtual void GetMinTransformed(CVector3* out) = 0;
  virtual void GetMaxTransformed(CVector3* out) = 0;
  virtual CVector3* GetMin(CVector3* out) = 0;
  virtual CVector3* GetMax(CVector3* out) = 0;
  virtual CVector4* GetPoints() = 0;
  virtual CVector4* GetTransformedPoints() = 0;
  virtual CVector3* GetPosition(CVector3* out) = 0;
  virtual CVector3* GetTransformedPosition(CVector3* out) = 0;
  virtual CVector3* GetExtents(CVector3* out) = 0;
  virtual UINT CheckAACollision(CLightBoundVolumeInterface* other, CMatrix& otherMatrix) = 0;
  virtual UINT CheckAACollision(CMeshBoundVolumeInterface* other, CMatrix& otherMatrix) = 0;

 protected:
  ~CLightBoundVolumeInterface() = default;
};

// ---------------------------------------------------------------------------------------------
// Collision

// The three corners of one triangle, each pointing at three consecutive floats (x, y, z) that
// the triangle source owns.
struct TriangleVertices {
  const float* pVertex[3];
};

typedef void (*TriangleCallback)(UINT triangle, TriangleVertices& out, void* userData);

// The triangle source that collision trees are built from: a count and a callback that gives
// the corners of each triangle. The owner sets the counts directly.
class CCollisionMeshInterface {
 public:
  UINT dwNumberOfTriangles = 0;
  UINT dwNumberOfVertices = 0;
  void* pUserData = nullptr;
  TriangleCallback fpCallback = nullptr;

  // False, storing nothing, when the callback is null.
  bool SetCallback(TriangleCallback callback, void* userData) {
    if (callback == nullptr) return false;
    fpCallback = callback;
    pUserData = userData;
    return true;
  }
  bool IsValid() const {
    return dwNumberOfTriangles != 0 && dwNumberOfVertices != 0 && fpCallback != nullptr;
  }
  // Triangles whose corners are not three different vertices (compared by address).
  UINT CountDegenerateTriangles() const {
    if (fpCallback == nullptr) return 0;
    UINT degenerate = 0;
    for (UINT triangle = 0; triangle < dwNumberOfTriangles; ++triangle) {
      TriangleVertices corners{};
      fpCallback(triangle, corners, pUserData);
      if (corners.pVertex[0] == corners.pVertex[1] || corners.pVertex[1] == corners.pVertex[2] ||
          corners.pVertex[0] == corners.pVertex[2])
        ++degenerate;
    }
    return degenerate;
  }
};
