#pragma once

#include "orvane_export.h"

#include <QDialog>

#include <string>

namespace tolvconfig {
class config_t;
}

namespace orvane {

// Base of the application's windows: settings under keys of its own, a clock tick, and
// a signal when the user changed something that is stored.
class ORVANE_EXPORT orvaneDialog_t : public QDialog
{
    Q_OBJECT
public:
    explicit orvaneDialog_t(QWidget* parent = nullptr);
    ~orvaneDialog_t() override;

    // A window has its own frame and task-bar entry; otherwise it is a dialog of its parent.
    void setIsWindow(bool isWindow);
    bool isWindow() const;

    // "<objectName>[_<index>].<name>"; index -1 for a window that exists once.
    virtual std::string outputKey(std::string const& name, int index) const;

public slots:
    // Stores and restores the window's geometry and whether it is open.
    virtual void saveSettings(tolvconfig::config_t& config, int index);
    virtual void loadSettings(tolvconfig::config_t& config, int index);
    virtual void useDefaults();
    virtual void updateUi();
    virtual void updateWindowTitle();
    virtual void handleClockTimeout();

signals:
    void configurationModified();

private:
    class private_t;
    private_t* d;
};

} // namespace orvane
