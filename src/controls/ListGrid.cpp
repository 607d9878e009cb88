#include "ListGrid.h"

#include <QHeaderView>
#include <QTableView>

namespace ListGrid {

void setUp(QTableView *grid)
{
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->setStyleSheet(QStringLiteral("QHeaderView::section{background:#3598D9;color:white;padding:3px;border:0;}"
                                       "QTableView{selection-background-color:#0958A1;selection-color:white;}"));
}

} // namespace ListGrid
