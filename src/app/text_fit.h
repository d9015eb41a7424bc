#pragma once

class QWidget;

namespace lumaref {

// The window is laid out by the design's rectangles, which hold the texts at the design's font. At a
// wider font or a larger scale a label, button or radio button whose text would be cut grows to fit it:
// into the free room beside it (to the left first for a text set against its right end), and a label
// that would run under the control after it moves back from it. At the design's font nothing moves.
void fitTextsToControls(QWidget* window);

// How much wider `control` must be to show its whole text; 0 when it does (or holds no text).
int missingTextWidth(const QWidget* control);

}  // namespace lumaref
