#pragma once
// The look and behaviour of the client's simple list grids: whole rows
// selected one at a time, read only, no row numbers, header white on
// "#3598D9", the selected row white on "#0958A1".

class QTableView;

namespace ListGrid {
void setUp(QTableView *grid);
}
