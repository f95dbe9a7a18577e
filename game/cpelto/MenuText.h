#pragma once
// A menu item that draws one line of text from a glyph texture of 16 × 16 cells, one character
// per cell by its 8-bit code. Every glyph is "Size" units wide and as high as its cell's aspect
// gives; the measured line is the item's hit rectangle.
#include <memory>
#include <string>

#include "ZKDXRecords.h"
#include "cpelto/MenuItem.h"
#include "framework/TextReceiver.h"

class CTextureInterface;

// A glyph's cell: the texture coordinates of its top-right, top-left, bottom-right and
// bottom-left corners, in that order.
struct SCharQuad {
  Vertex corners[4];
  BYTE reserved[8];
};

class CMenuText : public CMenuItem, public geCTextReceiver {
 public:
  static constexpr int kGridCells = 16;
  static constexpr int kTableSize = kGridCells * kGridCells;
  // Longer texts are drawn and measured by their first characters only.
  static constexpr size_t kMaxDrawnChars = 256;
  // What a cell count takes when the text does not give it.
  static constexpr float kDefaultCellCount = 16.0f;

  explicit CMenuText(geCBaseNode* pParent);
  ~CMenuText() override;

  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;
  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;
  void Render(DWORD dwClearFlags) override;
  // Changes the drawing at once; the hit rectangle follows at the next SetText.
  virtual void SetOffsetBetweenChars(float fOffset) { m_fBetweenCharOffset = fOffset; }
  // Null keeps the text; either way the size is measured again.
  void SetText(const char* szText) override;
  virtual std::string GetText() const { return m_strText; }

  // The size `szText` would take: the height is set, the width added to. The item keeps its
  // text and draws nothing.
  void CalculateSize(const char* szText, int* pWidth, int* pHeight);
  void BuildCharTable();

  const SCharQuad* GetCharQuad(int nIndex) const;
  int GetSize() const { return m_nSize; }
  float GetBetweenCharOffset() const { return m_fBetweenCharOffset; }

 private:
  enum class ELayout { Measure, Draw };
  // Measures the text, drawing it too when asked; *pWidth is added to, *pHeight set.
  void Layout(ELayout mode, int* pWidth, int* pHeight);
  void Measure();
  float ReadCellCount(const char* szName);

  std::string m_strText;
  float m_fBetweenCharOffset = 0.0f;
  CTextureInterface* m_pTexture = nullptr;
  float m_fCharWidth = kDefaultCellCount;
  float m_fCharHeight = kDefaultCellCount;
  int m_nCharOffset = 0;
  int m_nSize = 0;
  std::unique_ptr<std::unique_ptr<SCharQuad>[]> m_ppCharTable;
};
