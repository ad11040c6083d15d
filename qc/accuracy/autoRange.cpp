#include "accuracy/autoRange.h"

namespace orvane {
namespace qc {

double autoRangeFor(double size, double const* table)
{
    if (!table)
        return 0.0;
    double largest = 0.0;
    for (double const* entry = table; *entry != 0.0; ++entry) {
        if (*entry > size)
            return *entry;
        largest = *entry;
    }
    return largest;
}

double autoRangeAbove(double size, double const* table)
{
    if (!table)
        return 0.0;
    for (double const* entry = table; *entry != 0.0; ++entry) {
        if (*entry > size)
            return *entry;
    }
    return 0.0;
}

} // namespace qc
} // namespace orvane
