#pragma once
// The list item of every tool window's lists, comboboxes and drive lists: a text item drawn with
// the look's selection brush, freed by the widget that holds it.
#include <CEGUI/widgets/ListboxTextItem.h>

class SelectionListItem final : public CEGUI::ListboxTextItem {
 public:
  explicit SelectionListItem(const CEGUI::String& text, unsigned id = 0);
};
