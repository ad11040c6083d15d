#pragma once

#include "orvane_export.h"

#include <QObject>
#include <QString>

class QWidget;

namespace orvane {

// One page of a device: a title and the window it shows.
class ORVANE_EXPORT orvanePage_t : public QObject
{
    Q_OBJECT
public:
    orvanePage_t(QString const& title, QWidget* widget, QObject* parent = nullptr);
    ~orvanePage_t() override;

    QString title() const;
    QWidget* widget() const;   // null once the window is gone

private:
    class private_t;
    private_t* d;
};

} // namespace orvane
