#include "linktextfield.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPalette>
#include <QUrl>

LinkTextField::LinkTextField(QWidget* parent) : QLabel(parent)
{
    setFrameShape(QFrame::NoFrame);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    QPalette linkPalette = palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    setPalette(linkPalette);
    setCursor(Qt::PointingHandCursor);
}

bool LinkTextField::isOpenableLink(const QString& link)
{
    return link.startsWith(QLatin1String("http://")) || link.startsWith(QLatin1String("https://"));
}

void LinkTextField::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
}

void LinkTextField::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && isOpenableLink(address))
        QDesktopServices::openUrl(QUrl(address));
    QLabel::mousePressEvent(event);
}
