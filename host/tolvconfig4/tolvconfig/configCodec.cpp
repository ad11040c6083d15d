#include "tolvconfig/configCodec.h"

#include <QByteArray>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tolvconfig {

namespace {

int const maximumDecimals = 17;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Hand-edited files often end a value with a space or a line break; that is not garbage.
std::string trimmed(std::string const& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// Optional sign, digits with at most one decimal point (at least one digit), optional
// exponent. Anything else, including "nan", "inf" and hexadecimal, is not a number here.
bool isDecimalNumber(std::string const& text)
{
    size_t i = 0;
    size_t const n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        size_t exponentDigits = 0;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    return i == n;
}

bool decodeFinite(std::string const& text, double& value)
{
    std::string const number = trimmed(text);
    if (!isDecimalNumber(number))
        return false;
    bool ok = false;
    // QByteArray's conversion always uses '.', whatever the process locale is.
    double const result = QByteArray(number.data(), int(number.size())).toDouble(&ok);
    if (!ok || !std::isfinite(result))
        return false;
    value = result;
    return true;
}

// Digits only after an optional sign; the magnitude is checked against limit while reading
// so that no overflow can wrap around.
bool decodeInteger(std::string const& text, bool allowNegative, std::uint64_t positiveLimit,
                   std::uint64_t negativeLimit, bool& negative, std::uint64_t& magnitude)
{
    std::string const number = trimmed(text);
    size_t i = 0;
    negative = false;
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) {
        negative = number[i] == '-';
        ++i;
    }
    if (negative && !allowNegative)
        return false;
    if (i == number.size())
        return false;
    std::uint64_t const limit = negative ? negativeLimit : positiveLimit;
    std::uint64_t result = 0;
    for (; i < number.size(); ++i) {
        if (!isDigit(number[i]))
            return false;
        std::uint64_t const digit = std::uint64_t(number[i] - '0');
        if (result > (limit - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    magnitude = result;
    return true;
}

} // namespace

std::string tolvConfigEncode(double value, int decimals)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    decimals = std::max(0, std::min(decimals, maximumDecimals));
    // QString::number ignores the locale: always '.' and no group separators.
    std::string text = QString::number(value, 'f', decimals).toStdString();
    // A value that rounds to zero is written as zero, not "-0.00".
    if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::string tolvConfigEncode(bool value)
{
    return value ? "true" : "false";
}

std::string tolvConfigEncode(int value)
{
    return std::to_string(value);
}

std::string tolvConfigEncode(unsigned int value)
{
    return std::to_string(value);
}

std::string tolvConfigEncode(std::string const& value)
{
    return value;
}

std::string tolvConfigEncode(QString const& value)
{
    QByteArray const bytes = value.toUtf8();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

std::string tolvConfigEncode(char const* value)
{
    return value ? std::string(value) : std::string();
}

bool tolvConfigDecode(std::string const& text, double& value)
{
    return decodeFinite(text, value);
}

bool tolvConfigDecode(std::string const& text, float& value)
{
    double result = 0.0;
    if (!decodeFinite(text, result) || std::fabs(result) > double(FLT_MAX))
        return false;
    value = float(result);
    return true;
}

bool tolvConfigDecode(std::string const& text, bool& value)
{
    std::string word = trimmed(text);
    for (char& c : word) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    if (word == "true" || word == "1") {
        value = true;
        return true;
    }
    if (word == "false" || word == "0") {
        value = false;
        return true;
    }
    return false;
}

bool tolvConfigDecode(std::string const& text, int& value)
{
    bool negative = false;
    std::uint64_t magnitude = 0;
    std::uint64_t const positiveLimit = std::uint64_t(std::numeric_limits<int>::max());
    std::uint64_t const negativeLimit = positiveLimit + 1;
    if (!decodeInteger(text, true, positiveLimit, negativeLimit, negative, magnitude))
        return false;
    // Through int64 so that INT_MIN's magnitude does not overflow on negation.
    std::int64_t const signedValue = negative ? -std::int64_t(magnitude) : std::int64_t(magnitude);
    value = int(signedValue);
    return true;
}

bool tolvConfigDecode(std::string const& text, unsigned int& value)
{
    bool negative = false;
    std::uint64_t magnitude = 0;
    std::uint64_t const limit = std::numeric_limits<unsigned int>::max();
    if (!decodeInteger(text, false, limit, 0, negative, magnitude))
        return false;
    value = static_cast<unsigned int>(magnitude);
    return true;
}

bool tolvConfigDecode(std::string const& text, std::string& value)
{
    value = text;
    return true;
}

bool tolvConfigDecode(std::string const& text, QString& value)
{
    value = QString::fromUtf8(text.data(), int(text.size()));
    return true;
}

bool setValue(config_t& config, std::string const& key, double value, int decimals)
{
    return config.setValue(key, tolvConfigEncode(value, decimals));
}

bool setValue(config_t& config, std::string const& key, bool value)
{
    return config.setValue(key, tolvConfigEncode(value));
}

bool setValue(config_t& config, std::string const& key, int value)
{
    return config.setValue(key, tolvConfigEncode(value));
}

bool setValue(config_t& config, std::string const& key, unsigned int value)
{
    return config.setValue(key, tolvConfigEncode(value));
}

bool setValue(config_t& config, std::string const& key, std::string const& value)
{
    return config.setValue(key, tolvConfigEncode(value));
}

bool setValue(config_t& config, std::string const& key, QString const& value)
{
    return config.setValue(key, tolvConfigEncode(value));
}

bool setValue(config_t& config, std::string const& key, char const* value)
{
    return config.setValue(key, tolvConfigEncode(value));
}

namespace {

template <typename value_t>
bool getDecoded(config_t const& config, std::string const& key, value_t& value)
{
    std::string text;
    if (!config.getValue(key, text))
        return false;
    return tolvConfigDecode(text, value);
}

} // namespace

bool getValue(config_t const& config, std::string const& key, double& value)
{
    return getDecoded(config, key, value);
}

bool getValue(config_t const& config, std::string const& key, float& value)
{
    return getDecoded(config, key, value);
}

bool getValue(config_t const& config, std::string const& key, bool& value)
{
    return getDecoded(config, key, value);
}

bool getValue(config_t const& config, std::string const& key, int& value)
{
    return getDecoded(config, key, value);
}

bool getValue(config_t const& config, std::string const& key, unsigned int& value)
{
    return getDecoded(config, key, value);
}

bool getValue(config_t const& config, std::string const& key, std::string& value)
{
    return getDecoded(config, key, value);
}

bool getValue(config_t const& config, std::string const& key, QString& value)
{
    return getDecoded(config, key, value);
}

} // namespace tolvconfig
