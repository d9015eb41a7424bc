#pragma once

class QWidget;

namespace lumaref {

// Two environment switches for measuring and picturing the real program; without them nothing changes.
//   LUMAREF_EXIT_AFTER_SHOW   quit as soon as the window has been painted once (start-up timing)
//   LUMAREF_SCREENSHOT=<file> save a picture of the window to <file> once painted, then quit
void installStartupHooks(QWidget& window);

}  // namespace lumaref
