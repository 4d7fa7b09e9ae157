#include "qt/app/icons.h"

#include <QFile>
#include <QHash>

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
    static QHash<QString, QIcon> loaded;
    const QString key = QLatin1String(name);
    if (const auto found = loaded.constFind(key); found != loaded.cend())
        return *found;
    QIcon icon;
    for (const char* size : {"-32", "-16"}) {
        const QString path = QStringLiteral(":/icons/%1%2.xpm").arg(key, QLatin1String(size));
        if (QFile::exists(path))
            icon.addFile(path);
    }
    return *loaded.insert(key, icon);
}

QIcon helpIcon()
{
    static const QIcon icon = [] {
        QIcon made;
        made.addFile(QStringLiteral(":/icons/question-red-32.xpm"), {}, QIcon::Normal);
        made.addFile(QStringLiteral(":/icons/question-green-32.xpm"), {}, QIcon::Active);
        made.addFile(QStringLiteral(":/icons/question-mono-32.xpm"), {}, QIcon::Disabled);
        return made;
    }();
    return icon;
}

QPixmap productPicture()
{
    static const QPixmap picture(QStringLiteral(":/icons/product-32.xpm"));
    return picture;
}

QIcon applicationIcon() { return loadIcon("magnet"); }

std::vector<QIcon> animationFrames() { return {loadIcon("frame1"), loadIcon("frame2")}; }

} // namespace latchsweep::qt
