#pragma once

#include <QLabel>
#include <QString>

// A click area that opens its web address in the default browser. It paints
// nothing itself: it lies over the label that shows the address. Only "http://"
// and "https://" addresses are opened; any other text is ignored, so a notice
// list cannot make the application open local files or other schemes.
class LinkTextField : public QLabel
{
    Q_OBJECT

public:
    explicit LinkTextField(QWidget* parent = nullptr);

    QString link() const { return address; }
    void setLink(const QString& link) { address = link; }

    static bool isOpenableLink(const QString& link);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString address;
};
