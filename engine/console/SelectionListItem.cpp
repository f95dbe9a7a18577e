#include "console/SelectionListItem.h"

SelectionListItem::SelectionListItem(const CEGUI::String& text, unsigned id)
    : CEGUI::ListboxTextItem(text, id, nullptr, false, true) {
  setSelectionBrushImage("TaharezLook/MultiListSelectionBrush");
}
