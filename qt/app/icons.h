#pragma once

#include <QIcon>
#include <QPixmap>
#include <vector>

#include "core/base/tray_port.h"

namespace latchsweep::qt {

// Gives each icon the program uses a stable 32-bit handle, as the platform's icon handles are,
// so that the core can pass icons around (and use one as the tray id) without knowing Qt.
class IconTable {
public:
    static IconTable& instance();
    IconHandle add(const QIcon& icon);
    [[nodiscard]] QIcon icon(IconHandle handle) const;

private:
    std::vector<QIcon> icons_;
};

// The program's icons, drawn from the pixel art in resources/icons: every size of one name.
// Each is loaded once for the whole run; windows that come and go share it (QIcon and QPixmap
// are shared copies).
QIcon loadIcon(const char* name);
QIcon applicationIcon();
std::vector<QIcon> animationFrames();
// The help window's question mark in its disc: the red and the green image and the monochrome one.
QIcon helpIcon();
// The about box's picture.
QPixmap productPicture();

} // namespace latchsweep::qt
