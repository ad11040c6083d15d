#pragma once

namespace belrix_common_qt {

// One timestamped datum: a validity flag, the data time it was taken at (seconds) and
// the value. An invalid item keeps its last value and timestamp for inspection.
template <typename T>
class dataItem_t
{
public:
    dataItem_t() = default;
    dataItem_t(T const& value, double timestamp) : m_valid(true), m_timestamp(timestamp), m_value(value) {}

    bool isValid() const { return m_valid; }
    double timestamp() const { return m_timestamp; }
    T const& value() const { return m_value; }

    void set(T const& value, double timestamp)
    {
        m_value = value;
        m_timestamp = timestamp;
        m_valid = true;
    }
    void setValid(bool valid) { m_valid = valid; }
    void invalidate() { m_valid = false; }

private:
    bool m_valid = false;
    double m_timestamp = 0.0;
    T m_value{};
};

} // namespace belrix_common_qt
