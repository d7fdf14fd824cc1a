#pragma once

// The pictures of the screensaver's CustomData archive, each painted from
// nothing. Sizes follow how the application shows them.

#include "tools/mediagen/Canvas.h"

namespace mediagen {

// The loading screen, stretched over the whole screen: 1024 × 768, opaque.
Canvas PaintLoadingScreen();
// The ornament for the left-bottom corner of the loading screen, drawn at
// its own pixel size: 128 × 128 with alpha. The other corners mirror it.
Canvas PaintLoadingCorner();
// One character of the on-screen clock ('0'-'9', '.', ':', 'a', 'p', 'm'),
// stretched to a cell of about 0.0375 × 0.075 of the screen: 64 × 128 with
// alpha. The colour that transparent pixels take is ClockMatte().
Canvas PaintClockCharacter(char c);
Color ClockMatte();
// The display settings' preview: 152 × 112, opaque.
Canvas PaintPreview();
// The settings dialog's picture, a tall panel beside the controls: 200 × 384.
Canvas PaintSettingsPicture();
// The About box's logo banner: 360 × 72.
Canvas PaintLogo();

}  // namespace mediagen
