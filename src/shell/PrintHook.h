#pragma once
// The print window's entry point. The print buttons of the grids stay
// disabled until the print window installs it.

#include <QPointer>
#include <functional>

class QAbstractItemView;
class QWidget;

namespace PrintHook {
// Report types: 1 account overview, 2 deal list, 3 profit summary,
// 4 statement, 5 profit detail.
inline std::function<void(QAbstractItemView *grid, int reportType)> PrintGrid;
inline bool Available()
{
    return bool(PrintGrid);
}
} // namespace PrintHook
