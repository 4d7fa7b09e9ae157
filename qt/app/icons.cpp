#include "icons.h"

#include <QFile>

namespace latchsweep::qt {
namespace {
// Handles start well away from 0, which the record uses for "no icon".
constexpr IconHandle kFirstHandle = 0x00010001;
} // namespace

IconTable& IconTable::instance()
{
    static IconTable table;
    return table;
}

IconHandle IconTable::add(const QIcon& icon)
{
    icons_.push_back(icon);
    return kFirstHandle + static_cast<IconHandle>(icons_.size() - 1);
}

QIcon IconTable::icon(IconHandle handle) const
{
    if (handle < kFirstHandle || handle - kFirstHandle >= icons_.size())
        return {};
    return icons_[handle - kFirstHandle];
}

QIcon loadIcon(const char* name)
{
    QIcon icon;
    for (const char* size : {"-32", "-16"}) {
        const QString path = QStringLiteral(":/icons/%1%2.xpm").arg(QLatin1String(name), QLatin1String(size));
        if (QFile::exists(path))
            icon.addFile(path);
    }
    return icon;
}

QIcon applicationIcon() { return loadIcon("magnet"); }

std::vector<QIcon> animationFrames() { return {loadIcon("frame1"), loadIcon("frame2")}; }

} // namespace latchsweep::qt
