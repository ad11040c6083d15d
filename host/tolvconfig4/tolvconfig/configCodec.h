#pragma once

#include "tolvconfig_export.h"
#include "tolvconfig/config.h"

#include <QString>

#include <string>

namespace tolvconfig {

// Text encodings of stored values. Decoding fails (returns false, value untouched) on any
// text that is not exactly a value of the type: no trailing garbage, no overflow, no NaN.
// Whitespace around a number or a bool is allowed; text decodes as it is.
TOLVCONFIG_EXPORT std::string tolvConfigEncode(double value, int decimals = 2);
TOLVCONFIG_EXPORT std::string tolvConfigEncode(bool value);
TOLVCONFIG_EXPORT std::string tolvConfigEncode(int value);
TOLVCONFIG_EXPORT std::string tolvConfigEncode(unsigned int value);
TOLVCONFIG_EXPORT std::string tolvConfigEncode(std::string const& value);
TOLVCONFIG_EXPORT std::string tolvConfigEncode(QString const& value);
TOLVCONFIG_EXPORT std::string tolvConfigEncode(char const* value);

TOLVCONFIG_EXPORT bool tolvConfigDecode(std::string const& text, double& value);
TOLVCONFIG_EXPORT bool tolvConfigDecode(std::string const& text, float& value);
TOLVCONFIG_EXPORT bool tolvConfigDecode(std::string const& text, bool& value);
TOLVCONFIG_EXPORT bool tolvConfigDecode(std::string const& text, int& value);
TOLVCONFIG_EXPORT bool tolvConfigDecode(std::string const& text, unsigned int& value);
TOLVCONFIG_EXPORT bool tolvConfigDecode(std::string const& text, std::string& value);
TOLVCONFIG_EXPORT bool tolvConfigDecode(std::string const& text, QString& value);

// Typed set and get. get() loads nothing and returns false when the key is absent or its
// text does not decode, so callers load their default first and then get.
TOLVCONFIG_EXPORT bool setValue(config_t& config, std::string const& key, double value, int decimals = 2);
TOLVCONFIG_EXPORT bool setValue(config_t& config, std::string const& key, bool value);
TOLVCONFIG_EXPORT bool setValue(config_t& config, std::string const& key, int value);
TOLVCONFIG_EXPORT bool setValue(config_t& config, std::string const& key, unsigned int value);
TOLVCONFIG_EXPORT bool setValue(config_t& config, std::string const& key, std::string const& value);
TOLVCONFIG_EXPORT bool setValue(config_t& config, std::string const& key, QString const& value);
TOLVCONFIG_EXPORT bool setValue(config_t& config, std::string const& key, char const* value);

TOLVCONFIG_EXPORT bool getValue(config_t const& config, std::string const& key, double& value);
TOLVCONFIG_EXPORT bool getValue(config_t const& config, std::string const& key, float& value);
TOLVCONFIG_EXPORT bool getValue(config_t const& config, std::string const& key, bool& value);
TOLVCONFIG_EXPORT bool getValue(config_t const& config, std::string const& key, int& value);
TOLVCONFIG_EXPORT bool getValue(config_t const& config, std::string const& key, unsigned int& value);
TOLVCONFIG_EXPORT bool getValue(config_t const& config, std::string const& key, std::string& value);
TOLVCONFIG_EXPORT bool getValue(config_t const& config, std::string const& key, QString& value);

} // namespace tolvconfig
