#include "MemoryDC.h"

#include "DibSection.h"

CDibSection* CMemoryDC::Select(CDibSection* bitmap) {
  CDibSection* previous = m_selected;
  if (previous) previous->SetSelectedInto(nullptr);
  m_selected = bitmap;
  if (bitmap) {
    // A bitmap lives in one DC at a time.
    if (CMemoryDC* other = bitmap->SelectedInto(); other && other != this)
      other->m_selected = nullptr;
    bitmap->SetSelectedInto(this);
  }
  return previous;
}
