#pragma once

#include "belrix_common_qt_export.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace belrix_common_qt {

class almMgrGlonass_t;
class almMgrGps_t;

// A folder of almanac files (almanacFileReader_t's formats) that feeds the almanac managers:
// every file is read when the folder is set, and again when the folder or a file in it
// changes, a moment after the last change so that a file still being written is read once
// complete. Only files whose content changed are read again. A file that cannot be read is
// listed in errors() and leaves the managers as they were; the other files still load.
// Entries already given to the managers stay when a file is removed, as the managers keep
// the newest entry of each satellite whatever its source.
class BELRIX_COMMON_QT_EXPORT almanacFolder_t : public QObject
{
    Q_OBJECT
public:
    // The managers must outlive the folder; either may be null.
    almanacFolder_t(almMgrGps_t* gps, almMgrGlonass_t* glonass, QObject* parent = nullptr);
    ~almanacFolder_t() override;

    // The per-user "almanac" folder in the application's data location.
    static QString defaultPath();

    // Creates the folder when it is missing, watches it and reads what it holds.
    void setPath(QString const& path);
    QString path() const;

    // One message per file that could not be read: "file:line: what is wrong".
    QStringList errors() const;

public slots:
    // Reads the files that are new or changed since the last look.
    void reload();

signals:
    void errorsChanged();

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
