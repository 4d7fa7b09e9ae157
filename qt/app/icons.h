#pragma once

#include <QIcon>
#include <QPixmap>

#include "core/base/layout.h"
#include "core/base/tray_port.h"

namespace latchsweep::qt {

// Gives each icon the program uses a stable 32-bit handle, as the platform's icon handles are,
// so that the core can pass icons around (and use one as the tray id) without knowing Qt.
class IconTable {
public:
    static IconTable& instance();
    [[nodiscard]] QIcon icon(IconHandle handle) const;
    // The handle of one of the program's icons, the same at every call.
    IconHandle handle(IconId icon);
};

// The program's icons, drawn from the pixel art in resources/icons: every size of one picture.
// Each is loaded once for the whole run; windows that come and go share it (QIcon and QPixmap
// are shared copies). None is the null icon.
QIcon iconOf(IconId icon);
// The picture as a picture control shows it, at its design size.
QPixmap pictureOf(IconId icon);

} // namespace latchsweep::qt
