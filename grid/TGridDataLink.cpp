#include "grid/TGridDataLink.h"

#include "grid/TI_DBGrid.h"

void TGridDataLink::DataSetChanged() {
    m_grid->LinkDataSetChanged();
}

void TGridDataLink::RecordChanged(TField *field) {
    m_grid->LinkRecordChanged(field);
}

void TGridDataLink::StateChanged() {
    // Opening, closing and the edit states change which fields exist and which row is the
    // data set's buffer: read everything afresh.
    m_grid->LinkDataSetChanged();
}

void TGridDataLink::DataSetScrolled() {
    m_grid->LinkScrolled();
}
