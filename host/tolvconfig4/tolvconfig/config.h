#pragma once

#include "tolvconfig_export.h"

#include <QString>

#include <string>
#include <vector>

namespace tolvconfig {

// Outcome of reading a configuration file. A file that cannot be used is moved aside
// (backupPath) so the caller can go on from defaults without losing it.
struct TOLVCONFIG_EXPORT loadResult_t {
    enum status_t { Loaded, Missing, Corrupt, Unreadable };
    status_t status = Missing;
    QString message;      // for the user; empty when Loaded or Missing
    QString backupPath;   // where a corrupt or unreadable file was kept; may be empty

    bool ok() const { return status == Loaded || status == Missing; }
};

// The configuration store: text values under text keys.
class TOLVCONFIG_EXPORT config_t
{
public:
    config_t();
    config_t(config_t const& other);
    config_t& operator=(config_t const& other);
    ~config_t();

    // Refuses (returns false) a key or value that is not valid UTF-8: the file could not keep it.
    bool setValue(std::string const& key, std::string const& value);
    // Leaves value untouched and returns false when the key is absent.
    bool getValue(std::string const& key, std::string& value) const;
    bool hasKey(std::string const& key) const;
    bool removeValue(std::string const& key);
    void clear();
    std::vector<std::string> keys() const;   // sorted
    bool isEmpty() const;

    // Replaces the contents with the file's. On Corrupt or Unreadable the store is left
    // empty and the file is renamed to a backup beside it.
    loadResult_t load(QString const& path);
    // Atomic: the previous file stays intact until the new one is complete on disk.
    bool save(QString const& path, QString* errorMessage = nullptr) const;

private:
    class private_t;
    private_t* d;
};

} // namespace tolvconfig
