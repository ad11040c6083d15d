#include "orvane/mainWindowDialog.h"

namespace orvane {

class mainWindowDialog_t::private_t
{
public:
    context_t* context = nullptr;
};

mainWindowDialog_t::mainWindowDialog_t(context_t* context, QWidget* parent) : orvaneDialog_t(parent), d(new private_t)
{
    d->context = context;
}

mainWindowDialog_t::~mainWindowDialog_t() { delete d; }

context_t* mainWindowDialog_t::context() const { return d->context; }

} // namespace orvane
