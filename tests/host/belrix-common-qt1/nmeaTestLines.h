#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariantMap>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <type_traits>

// Test sentences: the body between '$' and '*' with its checksum worked out here, so a case
// can change a field and still reach the field checks.
inline QByteArray nmeaLine(QByteArray const& body, char start = '$')
{
    unsigned int sum = 0;
    for (char c : body)
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum & 0xffu);
    QByteArray line(1, start);
    line += body;
    line += tail;
    return line;
}

double const Absent = std::numeric_limits<double>::quiet_NaN();

// A decoded value by name for the tables of expected values; NaN when absent. Single
// precision values are compared to their own precision.
struct field_t {
    double value;
    double tolerance;
};
using fields_t = QHash<QString, field_t>;

template <typename T>
field_t field(T value)
{
    return {double(value), std::is_same_v<T, float> ? 1e-6 : 1e-9};
}
template <typename T>
field_t field(std::optional<T> const& f)
{
    return f ? field(*f) : field(Absent);
}

// Empty when every expected value (NaN: absent) matches, else what did not.
inline QString mismatches(fields_t const& actual, QVariantMap const& expected)
{
    QString text;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        field_t const f = actual.value(it.key(), field(-1e300));
        double const e = it.value().toDouble();
        if (std::isnan(e) ? std::isnan(f.value) : std::fabs(f.value - e) <= f.tolerance * std::max(1.0, std::fabs(e)))
            continue;
        text += QStringLiteral("%1 is %2, expected %3; ").arg(it.key()).arg(f.value, 0, 'g', 12).arg(e, 0, 'g', 12);
    }
    return text;
}
