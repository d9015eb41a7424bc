#pragma once

#include <QColor>
#include <QFont>

namespace lumaref::style {

// The window was drawn in Tahoma; where it is missing, a sans face of similar width that also
// covers Arabic script.
QFont tahoma(int pixelSize, bool bold = false);
// The window's default font ("MS Sans Serif", 11 pixels high) or its closest substitute.
QFont windowDefault();

// The classic named colours the design uses.
inline const QColor kPurple{0x80, 0x00, 0x80};
inline const QColor kBlue{0x00, 0x00, 0xFF};
inline const QColor kNavy{0x00, 0x00, 0x80};
inline const QColor kSilver{0xC0, 0xC0, 0xC0};
inline const QColor kCream{0xFF, 0xFB, 0xF0};
inline const QColor kSkyBlue{0xA6, 0xCA, 0xF0};

}  // namespace lumaref::style
