#include "common/qcDeviceDialog.h"

namespace orvane {
namespace qc {

qcDeviceDialog_t::qcDeviceDialog_t(orvane::context_t* context, QWidget* parent) : deviceDialog_t(context, parent) {}

qcDeviceDialog_t::~qcDeviceDialog_t() = default;

} // namespace qc
} // namespace orvane
