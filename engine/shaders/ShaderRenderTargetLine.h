#pragma once
// What the render-target commands share: a numbered slot (0 to 3) in the square or cube table of
// the object the shader works on (a scene shader's current light, a mesh shader's mesh, a
// surface shader's mesh), read from the line's words, and the render-target bank they use.
#include "shaders/ShaderLine.h"
#include "shaders/ShaderLineTable.h"

class CColourRenderTarget;
class CEngineLog;
class CEngineRenderer;
class CRenderTargetStorageInterface;
class CShaderPass;
class CTokenizer;
class CWorldObject;

class CShaderRenderTargetLine : public CShaderLine {
 public:
  // Shapes.
  static constexpr UINT kSquare = 2;
  static constexpr UINT kCube = 3;
  static constexpr UINT kPhysical = 4;

  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  int GetSkip() override { return 0; }

  int GetSlot() const { return m_iSlot; }
  UINT GetShape() const { return m_dwShape; }

 protected:
  // Tokenizes the line and logs `trace` (a format taking the line). `sender` names the
  // constructor in its reports, `executeSender` the execution.
  CShaderRenderTargetLine(const ShaderLineArguments& arguments, const char* trace,
                          const char* sender, const char* executeSender);

  CTokenizer* Tokens();
  // Word 1 as the slot; false (reported) when it is not a number from 0 to 3.
  bool ReadSlot();
  // Word 2 as a shape: SQUARE, CUBE, and PHYSICAL when `physical`; false (reported) for none.
  bool ReadShape(bool physical);
  // Reports error 27 with the constructor's sender; false.
  bool Refuse(const char* sender = nullptr);

  // The object whose slots the line uses; null (reported with error 256) when there is none.
  CWorldObject* FindOwner();
  // The target in the owner's slot of the line's shape; null (logged) for an empty slot.
  CColourRenderTarget* SlotTarget(CWorldObject* owner);
  // Stores `target` in the owner's slot of the line's shape.
  void StoreTarget(CWorldObject* owner, CColourRenderTarget* target);
  CRenderTargetStorageInterface* Bank();
  UINT ReportExecuteError();

  CShaderPass* m_pPass;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  int m_iSlot = 0;
  UINT m_dwShape = 0;

 private:
  const char* m_szSender;
  const char* m_szExecuteSender;
};
