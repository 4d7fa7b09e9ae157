#pragma once

#include <QIcon>
#include <vector>

#include "tray/tray_port.h"

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
QIcon loadIcon(const char* name);
QIcon applicationIcon();
std::vector<QIcon> animationFrames();

} // namespace latchsweep::qt
