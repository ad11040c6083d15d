#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QObject>
#include <QStringList>
#include <QVector>

namespace belrix_common_qt_gui {

class qualityGraph_t;
class qualitySettings_t;

// The quantities a device offers for its live graphs (satellites, DOPs, error statistics,
// unit variance, correction age, signal level, speed), each a qualityGraph_t under a stable
// identifier, and the list that a new graph window shows.
class BELRIX_COMMON_QT_GUI_EXPORT deviceGraphSet_t : public QObject
{
    Q_OBJECT
public:
    // How many graphs a window shows at most.
    static constexpr unsigned int DEFAULT_MAX_USED_GRAPHS = 6;

    explicit deviceGraphSet_t(QObject* parent = nullptr);
    ~deviceGraphSet_t() override;

    // Null for an identifier the set does not offer.
    qualityGraph_t* sourceForId(QString const& id) const;
    // Every source, in the order a chooser lists them.
    QVector<qualityGraph_t*> sources() const;
    QStringList defaultGraphIds() const;

    // The device's quality thresholds, which grade the sources' bands; they must outlive the
    // set. Null grades by the defaults.
    void setQualitySettings(qualitySettings_t const* settings);
    qualitySettings_t const* qualitySettings() const;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
