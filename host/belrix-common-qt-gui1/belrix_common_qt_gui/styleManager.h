#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QObject>
#include <QSet>
#include <QString>

namespace belrix_common_qt_gui {

// The application's global style tags ("day", "night", ...), one object per process.
// The library's widgets follow the tags to restyle themselves.
class BELRIX_COMMON_QT_GUI_EXPORT styleManager_t : public QObject
{
    Q_OBJECT
public:
    static styleManager_t* get();

    QSet<QString> globalTags() const;
    void setGlobalTags(QSet<QString> const& tags);
    bool hasGlobalTag(QString const& tag) const;

signals:
    void globalTagsChanged(QSet<QString> const& tags);

private:
    styleManager_t();
    ~styleManager_t() override;

    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
