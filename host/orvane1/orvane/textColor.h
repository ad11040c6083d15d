#pragma once

#include "orvane_export.h"

#include <QColor>

namespace orvane {

// Black or white, whichever contrasts more with the background (WCAG relative luminance).
// A transparent background counts as the light window background.
ORVANE_EXPORT QColor textColorForBackground(QColor const& background);

} // namespace orvane
