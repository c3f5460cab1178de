#include "linkoverlay.h"

#include "linktextfield.h"

#include <QGridLayout>
#include <QLabel>

LinkTextField* LinkOverlay::addOver(QLabel* label)
{
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    QPalette linkPalette = label->palette();
    linkPalette.setColor(QPalette::WindowText, linkPalette.color(QPalette::Link));
    label->setPalette(linkPalette);

    auto* link = new LinkTextField(label->parentWidget());
    link->setLink(label->text());
    auto* grid = qobject_cast<QGridLayout*>(label->parentWidget()->layout());
    const int index = grid ? grid->indexOf(label) : -1;
    if (index >= 0) {
        int row = 0;
        int column = 0;
        int rowSpan = 0;
        int columnSpan = 0;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        grid->addWidget(link, row, column, rowSpan, columnSpan);
    } else {
        link->setGeometry(label->geometry());
    }
    link->raise();
    return link;
}
