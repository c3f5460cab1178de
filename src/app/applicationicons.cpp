#include "applicationicons.h"

#include "common/applicationresources.h"
#include "common/log.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {
constexpr int trayIconSizes[] = {16, 22, 24, 32, 48, 64};

// The template image is a shape on a transparent ground: only its alpha counts,
// and it takes the colour of the panel's text.
QPixmap tinted(QSvgRenderer& renderer, int size, const QColor& color)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), color);
    return pixmap;
}

QPixmap plainMark(int size, const QColor& color)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    const qreal margin = size / 8.0;
    painter.drawEllipse(QRectF(margin, margin, size - 2 * margin, size - 2 * margin));
    return pixmap;
}
} // namespace

QIcon ApplicationIcons::statusBarIcon(const QColor& color)
{
    const QString path =
        ApplicationResources::path(QString::fromLatin1(statusBarIconName), QStringLiteral("svg"));
    QSvgRenderer renderer;
    const bool readable = !path.isEmpty() && renderer.load(path) && renderer.isValid();
    if (!readable)
        Log::error(QStringLiteral("The tray image %1.svg is missing or unreadable; a plain mark "
                                  "is shown instead.")
                       .arg(QString::fromLatin1(statusBarIconName)));
    QIcon icon;
    for (const int size : trayIconSizes)
        icon.addPixmap(readable ? tinted(renderer, size, color) : plainMark(size, color));
    icon.setIsMask(true);
    return icon;
}

QIcon ApplicationIcons::applicationIcon()
{
    QIcon icon;
    for (const char* type : {"svg", "png"}) {
        const QString path = ApplicationResources::path(QString::fromLatin1(applicationIconName),
                                                        QString::fromLatin1(type));
        if (!path.isEmpty())
            icon.addFile(path);
    }
    if (icon.isNull())
        Log::error(QStringLiteral("The application icon %1 is missing.")
                       .arg(QString::fromLatin1(applicationIconName)));
    return icon;
}
