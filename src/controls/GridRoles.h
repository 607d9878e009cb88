#pragma once
// Item roles the client's grids share (no widgets here, so core models use
// them too).
//
// BandRole (header, horizontal): the caption of the band over the section;
//   adjacent sections with the same caption form one band; no value (an
//   invalid QVariant) means the section's own caption fills both header
//   rows.
// ColumnNameRole (header, horizontal): the column's name ("ColNo" …), by
//   which reports find their columns.
// ValueRole (cell): the cell's value before formatting.

#include <Qt>

namespace GridRoles {
inline constexpr int BandRole = Qt::UserRole + 100;
inline constexpr int ColumnNameRole = Qt::UserRole + 101;
inline constexpr int ValueRole = Qt::UserRole + 102;
} // namespace GridRoles
