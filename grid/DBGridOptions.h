// The option set of the data grid. Each option's bit number is its position in the option
// type's declaration order, so a set stored as a number keeps the meaning it always had.
#pragma once

#include <QFlags>

enum TDBGridOption : quint32 {
    dgEditing = 1u << 0,
    dgAlwaysShowEditor = 1u << 1,
    dgTitles = 1u << 2,
    dgIndicator = 1u << 3,
    dgColumnResize = 1u << 4,
    dgColLines = 1u << 5,
    dgRowLines = 1u << 6,
    dgTabs = 1u << 7,
    dgRowSelect = 1u << 8,
    dgAlwaysShowSelection = 1u << 9,
    dgConfirmDelete = 1u << 10,
    dgCancelOnExit = 1u << 11,
    dgMultiSelect = 1u << 12,
    dgMarker = 1u << 13,
    dgTitleClicked = 1u << 14,
    dgUserRowHeight = 1u << 15,
    dgRowSizing = 1u << 16,
    dgHighlightRow = 1u << 17,
    dgFlatButtons = 1u << 18,
    dgCompleteLines = 1u << 19,
    dgAutoSize = 1u << 20,
};
Q_DECLARE_FLAGS(TDBGridOptions, TDBGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TDBGridOptions)

// The mark an indexed column shows right of its title caption.
enum TIndexStyle { idxNone, idxAscending, idxDescending };
