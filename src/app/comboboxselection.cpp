#include "comboboxselection.h"

#include <QComboBox>

void ComboBoxSelection::select(QComboBox& comboBox, qint64 storedIndex, const QString& storedText)
{
    if (storedIndex >= 0 && storedIndex < comboBox.count()) {
        comboBox.setCurrentIndex(static_cast<int>(storedIndex));
        return;
    }
    const int byText = comboBox.findText(storedText);
    comboBox.setCurrentIndex(byText >= 0 ? byText : 0);
}
