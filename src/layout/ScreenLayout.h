#pragma once

#include <QString>

// The arithmetic of the draw screen's layout, apart from any widget.
namespace tombolix::layout {

// Left edge (or top edge) that centres an element of `size` on a screen of
// `screenSize`, truncated toward zero.
int centred(int screenSize, int size);

// The button bar stands at `buttonTop` when that lies on the screen, else 30
// pixels above the bottom edge.
int buttonBarTop(int screenHeight, int buttonTop, int barHeight);

// The idle rolling number: `digits` zeros (at most twenty, none when
// negative), or "0" when digits is 0.
QString idleNumber(int digits);

} // namespace tombolix::layout
