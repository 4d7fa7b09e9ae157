#include "qt/app/icons.h"

#include <QFile>
#include <array>
#include <optional>

namespace latchsweep::qt {
namespace {

// Handles start well away from 0, which the record uses for "no icon".
constexpr IconHandle kFirstHandle = 0x00010001;

constexpr std::size_t kIconCount = static_cast<std::size_t>(IconId::Product) + 1;

// The resource names of each picture, in IconId's order; "-32" and "-16" sizes of one name, or
// the states of the question mark in its disc: red, green and monochrome.
constexpr std::array<const char*, kIconCount> kNames{"",         "magnet",   "frame1", "frame2", "binoculars",
                                                     "wastebin", "question", "info",   "product"};

QIcon load(IconId id)
{
    const QString name = QLatin1String(kNames[static_cast<std::size_t>(id)]);
    QIcon icon;
    if (id == IconId::QuestionMark) {
        icon.addFile(QStringLiteral(":/icons/%1-red-32.xpm").arg(name), {}, QIcon::Normal);
        icon.addFile(QStringLiteral(":/icons/%1-green-32.xpm").arg(name), {}, QIcon::Active);
        icon.addFile(QStringLiteral(":/icons/%1-mono-32.xpm").arg(name), {}, QIcon::Disabled);
        return icon;
    }
    for (const char* size : {"-32", "-16"})
        if (const QString path = QStringLiteral(":/icons/%1%2.xpm").arg(name, QLatin1String(size)); QFile::exists(path))
            icon.addFile(path);
    return icon;
}

} // namespace

IconTable& IconTable::instance()
{
    static IconTable table;
    return table;
}

QIcon IconTable::icon(IconHandle handle) const
{
    if (handle < kFirstHandle || handle - kFirstHandle >= kIconCount)
        return {};
    return iconOf(static_cast<IconId>(handle - kFirstHandle));
}

IconHandle IconTable::handle(IconId icon) { return kFirstHandle + static_cast<IconHandle>(icon); }

QIcon iconOf(IconId icon)
{
    static std::array<std::optional<QIcon>, kIconCount> loaded;
    std::optional<QIcon>& slot = loaded[static_cast<std::size_t>(icon)];
    if (!slot)
        slot = icon == IconId::None ? QIcon() : load(icon);
    return *slot;
}

QPixmap pictureOf(IconId icon)
{
    if (icon == IconId::None)
        return {};
    const char* suffix = icon == IconId::QuestionMark ? "-red-32" : "-32";
    return QPixmap(QStringLiteral(":/icons/%1%2.xpm")
                       .arg(QLatin1String(kNames[static_cast<std::size_t>(icon)]), QLatin1String(suffix)));
}

} // namespace latchsweep::qt
