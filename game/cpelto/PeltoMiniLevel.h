#pragma once
// A level whose grid is an endless corridor toward +Z. The rows above row 0 form three
// generations of GenerationHeight rows; when the player enters a new generation, the one two
// behind it is lifted forward by the length of all three, with the walking entities and the
// furniture standing in it, and map positions wrap back onto the one stored grid. The player is
// never offered a step toward -Z. It names itself and answers as a plain level.
#include <array>
#include <vector>

#include "cpelto/PeltoLevel.h"

class CPeltoMiniLevel : public CPeltoLevel {
 public:
  static constexpr DWORD kGenerations = 3;
  // Allowed-moves masks by the player's facing: each drops the step that leads toward -Z.
  static constexpr DWORD kMovesFacingPlusZ = 0x3D;
  static constexpr DWORD kMovesFacingMinusZ = 0x3E;
  static constexpr DWORD kMovesFacingMinusX = 0x1F;
  static constexpr DWORD kMovesFacingPlusX = 0x2F;

  using GenerationRow = std::vector<geCBaseNode*>;
  using Generation = std::vector<GenerationRow>;

  explicit CPeltoMiniLevel(geCBaseNode* pParent);
  ~CPeltoMiniLevel() override;

  // The generation step: the player's generation, and the lift of the generation two behind it.
  void Update(geSUpdateArgument* pArg) override;
  // The level's load, then the generation height and the wall rows of each generation. A layout
  // that does not fit three generations is refused: nothing is lifted and no position converted.
  bool Load(TiXmlElement* pElement) override;
  // Brings Z back into the first three generations.
  void ToMapPosition(CVector3* pPosition) override;

  // Kept empty: a second form of the generation step that nothing calls.
  virtual void UpdateDeferred(geSUpdateArgument* pArg);
  // The allowed moves from the player's facing.
  virtual void UpdateMoveMask();
  // Frees camera 0 of the level's scene from its parent where it stands.
  virtual void DetachCamera();

  DWORD GetCurrentGeneration() const { return m_dwCurrentGeneration; }
  DWORD GetGenerationHeight() const { return m_dwGenerationHeight; }
  const Generation& GetGeneration(DWORD dwIndex) const { return m_aGenerations[dwIndex]; }
  // False when the loaded layout was refused.
  bool HasGenerations() const { return m_bLayoutAccepted; }

 private:
  bool AcceptLayout(TiXmlElement* pElement);
  void FillGenerations();
  void MoveOnGeneration(DWORD dwGeneration);
  void LiftWalls(const Generation& generation, float fLift);
  void CarryEntities(DWORD dwGeneration, float fLift);
  void LiftFurniture(DWORD dwGeneration, float fLift);

  DWORD m_dwCurrentGeneration = 0;
  DWORD m_dwGenerationHeight = 0;
  std::array<Generation, kGenerations> m_aGenerations;
  bool m_bLayoutAccepted = false;
};
