#pragma once

#include "application/deviceConfig.h"
#include "sources/sourceAddress.h"

#include <QDialog>
#include <QStringList>

namespace orvane {
namespace app {

// Edits one device of the device list: name, type, capabilities (as check boxes with their
// meanings), colour, source with the fields of its kind, and whether lines without checksum
// are accepted. OK checks the whole entry and names every problem at once.
class dlgDeviceConfig_t : public QDialog
{
    Q_OBJECT
public:
    explicit dlgDeviceConfig_t(QWidget* parent = nullptr);
    ~dlgDeviceConfig_t() override;

    void setConfig(deviceConfig_t const& config);
    deviceConfig_t config() const;
    sourceAddress_t source() const;
    // The names of the other devices, which this one may not take.
    void setTakenNames(QStringList const& names);
    // Empty when the entry can be used.
    QStringList problems() const;

    // The capability bits the dialog offers, with their meanings.
    struct capability_t {
        int bit;          // set when checked
        int alternates;   // bits of the same meaning: they check the box too, and go with it
        QString text;
    };
    static QList<capability_t> capabilities();

public slots:
    void accept() override;

private slots:
    void updatePreview();

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
