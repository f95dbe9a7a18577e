// The surface editor's widget handlers (the window and its state are in SurfaceEditor.cpp).
#include <CEGUI/Exceptions.h>
#include <CEGUI/widgets/Slider.h>
#include <CEGUI/widgets/ToggleButton.h>

#include <cstdio>
#include <cstdlib>

#include "ZKDXInterface.h"
#include "console/SurfaceEditor.h"
#include "console/SurfaceEditorRow.h"
#include "console/TextureEditor.h"
#include "console/ToolWindows.h"
#include "console/WindowRegistry.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"

namespace {

const char kSource[] = "surface";
const char kButtonWarning[] = "WARNING!!! - CEGUI::Exception When Handling Button Message\n";
const char kCheckboxWarning[] = "WARNING!!! - CEGUI::Exception When Handling Checkbox Message\n";

// The row of the widget; a widget of no row is a caller's error the GUI library would report.
const SurfaceEditorRow& RowOf(CEGUI::Window* widget) {
  const SurfaceEditorRow* row = SurfaceEditorRow::OfWidget(widget->getName().c_str());
  if (row == nullptr)
    throw CEGUI::UnknownObjectException("'" + widget->getName() + "' is no row's widget.");
  return *row;
}

// Marks the write to a row's partner widget, whose own handler then does nothing.
class SyncScope {
 public:
  explicit SyncScope(UINT& syncing) : m_syncing(syncing) { m_syncing = 1; }
  ~SyncScope() { m_syncing = 0; }
  SyncScope(const SyncScope&) = delete;
  SyncScope& operator=(const SyncScope&) = delete;

 private:
  UINT& m_syncing;
};

bool Ticked(CEGUI::Window* box) { return static_cast<CEGUI::ToggleButton*>(box)->isSelected(); }

}  // namespace

void CSurfaceEditor::EnableRefresh() const { Find(Widget("/Refresh"))->setEnabled(true); }

bool CSurfaceEditor::Handle(const CEGUI::EventArgs& args, const char* warning,
                            void (*body)(CSurfaceEditor& editor, CEGUI::Window* widget)) {
  CSurfaceEditor* editor = nullptr;
  try {
    CEGUI::Window* widget = EventWindow(args);
    editor = static_cast<CSurfaceEditor*>(widget->getUserData());
    body(*editor, widget);
    return true;
  } catch (const CEGUI::Exception&) {
    LogTo(editor ? editor->m_pLog : GetEngineContext()->pLog, kSource, CEngineLog::kLevelError,
          "%s", warning);
    return false;
  }
}

bool CSurfaceEditor::OnTextureButton(const CEGUI::EventArgs& args) {
  return Handle(args, kButtonWarning, [](CSurfaceEditor& editor, CEGUI::Window* button) {
    const SurfaceEditorRow& row = RowOf(button);
    auto* box = static_cast<CEGUI::ToggleButton*>(editor.Find(row.Widget("TextureCheckBox")));
    editor.m_pTextureEditor->Show(editor.m_pSurface, row.textureKind, box);
  });
}

bool CSurfaceEditor::OnMapLoadButton(const CEGUI::EventArgs& args) {
  return Handle(args, kButtonWarning, [](CSurfaceEditor& editor, CEGUI::Window* button) {
    const bool reflection = button->getName() == Widget("/ReflectionCombo/Load").c_str();
    editor.m_pTextureEditor->Show(editor.m_pSurface, reflection ? 21 : 22, nullptr);
  });
}

bool CSurfaceEditor::OnTextureCheckBox(const CEGUI::EventArgs& args) {
  return Handle(args, kCheckboxWarning, [](CSurfaceEditor& editor, CEGUI::Window* box) {
    if (Ticked(box) || editor.m_dwFilling) return;
    const SurfaceEditorRow& row = RowOf(box);
    if (CSurfaceInterface* surface = editor.m_pSurface) {
      surface->SetTexture(row.textureKind, nullptr);
      if (row.secondTextureKind) surface->SetTexture(row.secondTextureKind, nullptr);
    }
    editor.EnableRefresh();
    box->setEnabled(false);
  });
}

bool CSurfaceEditor::OnEnvelopeCheckBox(const CEGUI::EventArgs& args) {
  return Handle(args, kCheckboxWarning, [](CSurfaceEditor& editor, CEGUI::Window* box) {
    if (Ticked(box) || editor.m_dwFilling) return;
    const SurfaceEditorRow& row = RowOf(box);
    if (CSurfaceInterface* surface = editor.m_pSurface)
      for (UINT channel : row.envelopeChannels)
        if (channel) surface->SetMaterialEnvelope(channel, nullptr);
    editor.EnableRefresh();
    box->setEnabled(false);
  });
}

bool CSurfaceEditor::OnColorEdit(const CEGUI::EventArgs& args) {
  return Handle(args, "WARNING!!! - CEGUI::Exception When Handling Editbox Message\n",
                [](CSurfaceEditor& editor, CEGUI::Window*) { editor.EnableRefresh(); });
}

bool CSurfaceEditor::OnMapCombobox(const CEGUI::EventArgs& args) {
  return Handle(args, "WARNING!!! - CEGUI::Exception When Handling Combobox Message\n",
                [](CSurfaceEditor& editor, CEGUI::Window*) { editor.EnableRefresh(); });
}

bool CSurfaceEditor::OnValueEdit(const CEGUI::EventArgs& args) {
  return Handle(args, "WARNING!!! - CEGUI::Exception When Handling EditBox Message\n",
                [](CSurfaceEditor& editor, CEGUI::Window* edit) {
    if (editor.m_dwSyncing) return;
    const SurfaceEditorRow& row = RowOf(edit);
    const float value = static_cast<float>(std::atof(edit->getText().c_str()));
    auto* slider = static_cast<CEGUI::Slider*>(editor.Find(row.Widget("Slider")));
    {
      SyncScope sync(editor.m_dwSyncing);
      slider->setCurrentValue(value - row.sliderShift);
    }
    editor.EnableRefresh();
  });
}

bool CSurfaceEditor::OnValueSlider(const CEGUI::EventArgs& args) {
  return Handle(args, "WARNING!!! - CEGUI::Exception When Handling Slider Message\n",
                [](CSurfaceEditor& editor, CEGUI::Window* slider) {
    if (editor.m_dwSyncing) return;
    const SurfaceEditorRow& row = RowOf(slider);
    char text[kNumberSize];
    std::snprintf(text, sizeof text, "%3.02f",
                  static_cast<double>(static_cast<CEGUI::Slider*>(slider)->getCurrentValue() +
                                      row.sliderShift));
    CEGUI::Window* edit = editor.Find(row.Widget("Edit"));
    {
      SyncScope sync(editor.m_dwSyncing);
      edit->setText(text);
    }
    editor.EnableRefresh();
  });
}
