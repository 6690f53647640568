// The grid's link to its data source: passes what the data set reports on to the grid.
#pragma once

#include "data/DataSource.h"

class TI_DBGrid;

class TGridDataLink : public TDataLink {
public:
    explicit TGridDataLink(TI_DBGrid *grid) : m_grid(grid) {}

    void DataSetChanged() override;
    void RecordChanged(TField *field) override;
    void StateChanged() override;
    void DataSetScrolled() override;

private:
    TI_DBGrid *m_grid;
};
