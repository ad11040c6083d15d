#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QWidget>

namespace belrix_common_qt {
class remoteDevice_t;
}

namespace belrix_common_qt_gui {

class dialogPage_t;

// One graph of a device's QC graphs view. The view's window feeds only the graph it shows,
// once a second, so a graph takes what it needs from the device at each update.
class BELRIX_COMMON_QT_GUI_EXPORT qcGraph_t : public QWidget
{
    Q_OBJECT
public:
    explicit qcGraph_t(QString const& title, QWidget* parent = nullptr);
    ~qcGraph_t() override;

    QString title() const;

    using QWidget::update;
    // Takes the device's data at data time `time` and redraws.
    virtual void update(belrix_common_qt::remoteDevice_t* device, double time) = 0;
    // The data time at the graph's right edge, for graphs that scroll with time.
    virtual void setCurrentTimestamp(double time);

    // The page that explains the graph, made on first request and owned by the graph; null
    // for a graph without one.
    virtual dialogPage_t* infoPage();
    // Brings the page up to date with the values shown now.
    virtual void updateInfo();

protected:
    // The page's text now; empty means the graph has no page.
    virtual QString infoHtml() const;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
