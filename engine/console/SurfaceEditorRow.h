#pragma once
// One row of the surface editor's channel grid: a channel of the surface with its label, value
// range, envelope and texture, and the widgets that stand for them. The table lists the rows top
// to bottom; names of a row's widgets are "<window>/<key>/<column>".
#include <span>
#include <string>

#include "ZKDXInterface.h"

struct SurfaceEditorRow {
  enum Kind {
    kColour,  // three whole-number edits, no slider
    kValue,   // a material value with its edit and slider
    kBump,    // shown as 1.00, not editable
    kHeight,  // a texture only
  };

  const char* key;
  const char* label;
  Kind kind;
  // The material value's index, the range Apply clamps to, and what the slider shows less.
  UINT valueIndex;
  float minimum;
  float maximum;
  float sliderShift;
  // Whether the surface animates the row's value; null for rows without envelope.
  CEnvelopeInterface* (CSurfaceInterface::*envelope)();
  // The envelope channels the envelope check box removes (0 ends the list).
  UINT envelopeChannels[3];
  // The texture kind of the texture button and check box, the kind unticking the check box also
  // drops (0: none), and the source image (1 to 4) whose name shows that the texture is set.
  UINT textureKind;
  UINT secondTextureKind;
  UINT sourceImage;

  bool HasValue() const { return kind == kValue; }
  bool HasEnvelope() const { return kind == kColour || kind == kValue; }

  // Every row, top (Color) to bottom (Height).
  static std::span<const SurfaceEditorRow> Table();
  // The row whose widget is named `windowName`; null for no row's widget.
  static const SurfaceEditorRow* OfWidget(const std::string& windowName);
  // "ZeKorb/Console/SurfaceEditorWindow/<key>/<column>".
  std::string Widget(const char* column) const;
};
