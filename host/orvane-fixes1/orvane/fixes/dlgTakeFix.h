#pragma once

#include "orvane_fixes_export.h"

#include <orvane/deviceDialog.h>

namespace orvane {
namespace fixes {

// The take-fix window of a device: shows the device's current position and records it
// as a fix with the operator's description.
class ORVANE_FIXES_EXPORT dlgTakeFix_t : public orvane::deviceDialog_t
{
    Q_OBJECT
public:
    dlgTakeFix_t(orvane::context_t* context, QWidget* parent);
    ~dlgTakeFix_t() override;

public slots:
    void handleClockTimeout() override;
    // Records the fix; returns false, telling the user why, when there is no current position.
    bool takeFix();
    // Asks for a file and writes all fixes of the store to it as GPX.
    void exportGpx();
    // Refills the list of this device's fixes from the store.
    void updateFixList();

signals:
    // Why takeFix recorded nothing. The window also shows the message in a box, but only
    // while it is visible, so that a hidden window never blocks on one.
    void takeFixFailed(QString const& message);

protected:
    void showEvent(QShowEvent* event) override;

private:
    class private_t;
    private_t* d;
};

} // namespace fixes
} // namespace orvane
