#pragma once
// A memory device context: holds the DIB section that drawing calls on it write into.
class CDibSection;

class CMemoryDC {
 public:
  CDibSection* Selected() const { return m_selected; }
  // Selects `bitmap` (null: none) and returns the one selected before.
  CDibSection* Select(CDibSection* bitmap);

 private:
  CDibSection* m_selected = nullptr;
};
