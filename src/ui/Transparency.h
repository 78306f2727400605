#pragma once

class QWidget;

namespace zorvan {

// Applies the window's opacity: 255 opaque, lower values translucent. Returns false
// and leaves the window as it was when the level is not 0-255 or the platform
// cannot make windows translucent.
bool SetTransparency(QWidget* window, int level);

}  // namespace zorvan
