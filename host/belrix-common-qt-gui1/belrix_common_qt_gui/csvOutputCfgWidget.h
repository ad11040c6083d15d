#pragma once

#include "belrix_common_qt_gui_export.h"

#include <belrix_common_qt/csvFields.h>
#include <belrix_common_qt/csvOutputCfg.h>

#include <QString>
#include <QWidget>

namespace belrix_common_qt_gui {

// Chooses the fields of a device's CSV log: one check box per field, field i being bit i
// of the csvOutputCfg_t mask (bits 0 to 27). Bits 28 to 31 are not fields; getConfig()
// leaves them as the caller gave them.
//
// A field that the device cannot fill is hidden once setCapabilities() has the device's
// capability mask, and getConfig() clears its bit, so a log only has columns it can fill:
//   date, time                                  always
//   position, fix, DOPs, correction age, SOG    0x2
//   heading, rate of turn                       0x200
//   pseudorange error statistics                0x8
//   QC summary: unit variance, ellipse, height  0x10
//   correction signal SNR                       0x1 or 0x40000 (signal status)
// The fields, their names and order are csvFields_t's.
// Until setCapabilities() is called every field is offered.
class BELRIX_COMMON_QT_GUI_EXPORT csvOutputCfgWidget_t : public QWidget
{
    Q_OBJECT
public:
    static constexpr int FieldCount = belrix_common_qt::csvFields_t::Count;

    explicit csvOutputCfgWidget_t(QWidget* parent = nullptr);
    ~csvOutputCfgWidget_t() override;

    // Column title of field i, empty for a number that is no field.
    static QString fieldName(int field);
    // Whether a device with this capability mask can fill field i.
    static bool fieldAvailable(int field, int capabilities);

    void setCapabilities(int capabilities);
    int capabilities() const;
    // Checks the fields whose bits are set; a null configuration changes nothing.
    void setConfig(belrix_common_qt::csvOutputCfg_t const* cfg);
    // Sets or clears bits 0 to 27 from the selection.
    void getConfig(belrix_common_qt::csvOutputCfg_t& cfg) const;

public slots:
    // Both act on the fields on offer only.
    void selectAll();
    void selectNone();

signals:
    // The user changed the selection.
    void configChanged();

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
