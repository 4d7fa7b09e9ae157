#pragma once

#include <QListWidget>
#include <cstddef>
#include <functional>
#include <vector>

#include "core/settings/directory_list.h"

namespace latchsweep::qt {

// MM2Dir on Qt: the entries of the core's directory list, indented by depth, open folders for the
// path and its ancestors, closed ones for the subdirectories. Highlighting an entry (arrow keys,
// a single click, type-ahead) changes nothing; a double-click or Enter opens it.
class DirectoryListWidget : public QListWidget {
public:
    static constexpr int kPathRole = Qt::UserRole;

    explicit DirectoryListWidget(QWidget* parent = nullptr);

    // Shows the entries and highlights the current one.
    void setEntries(const std::vector<DirectoryEntry>& entries, std::size_t current);

    // Called with the row of the entry opened.
    std::function<void(std::size_t)> onOpen;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void open(int row);
};

} // namespace latchsweep::qt
