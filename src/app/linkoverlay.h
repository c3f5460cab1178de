#pragma once

class LinkTextField;
class QLabel;

// Makes a label that shows a web address clickable: the address is underlined in
// the link colour and a link area is laid over the label, in the same cell of the
// grid layout that holds it, so that it follows the label whatever the layout does.
class LinkOverlay
{
public:
    static LinkTextField* addOver(QLabel* label);
};
