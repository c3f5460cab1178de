#pragma once

#include <QString>

class QComboBox;

// Selects a fixed-list combo box's item from a stored index. A stored index that is
// not in the list (a hand-edited or foreign settings file) falls back to the item
// whose text was stored, then to the first item: a save must never store an empty
// format or width because nothing was selected.
class ComboBoxSelection
{
public:
    static void select(QComboBox& comboBox, qint64 storedIndex, const QString& storedText);
};
