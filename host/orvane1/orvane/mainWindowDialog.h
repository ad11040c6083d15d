#pragma once

#include "orvane_export.h"
#include "orvane/orvaneDialog.h"

namespace orvane {

class context_t;

// A window of the application as a whole rather than of one device.
class ORVANE_EXPORT mainWindowDialog_t : public orvaneDialog_t
{
    Q_OBJECT
public:
    mainWindowDialog_t(context_t* context, QWidget* parent);
    ~mainWindowDialog_t() override;

    context_t* context() const;

private:
    class private_t;
    private_t* d;
};

} // namespace orvane
