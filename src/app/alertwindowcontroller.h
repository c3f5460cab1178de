#pragma once

#include "basewindowcontroller.h"
#include "talvorenwindowid.h"

#include <QString>
#include <memory>

namespace Ui {
class AlertWindowController;
}

// The general message dialog: a message and a close button. With
// showConfigWindowFlag set, closing it opens the settings window.
class AlertWindowController : public BaseWindowController
{
    Q_OBJECT

public:
    AlertWindowController();
    ~AlertWindowController() override;

    int getTalvorenWindow() const override { return TalvorenWindowId::AlertWindow; }

    bool showConfigWindowFlag() const { return configWindowFlag; }
    void setShowConfigWindowFlag(bool flag) { configWindowFlag = flag; }
    QString message() const { return messageText; }
    // Also updates an alert that is already showing.
    void setMessage(const QString& message);

    void closeButtonClick();

protected:
    void setupWindow(QWidget* window) override;
    void windowDidLoad() override;

private:
    bool configWindowFlag = false;
    QString messageText;
    std::unique_ptr<Ui::AlertWindowController> ui;
};
