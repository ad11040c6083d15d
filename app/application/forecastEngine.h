#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace orvane {

class context_t;

namespace app {

// The application's satellite forecast: one forecaster over the controller's almanac
// managers, installed in the context for every window, and the almanac folder that feeds
// those managers besides the receivers' ALM sentences.
class forecastEngine_t : public QObject
{
    Q_OBJECT
public:
    explicit forecastEngine_t(orvane::context_t* context, QObject* parent = nullptr);
    // Takes the forecaster out of the context when the context is still there.
    ~forecastEngine_t() override;

    // Watches the folder and reads its almanacs; empty watches none.
    void setAlmanacFolder(QString const& path);
    QString almanacFolder() const;
    // The files that could not be read, one "file:line: what" each.
    QStringList almanacProblems() const;

signals:
    // A file of the folder could not be read; the message names it and its line.
    void almanacProblem(QString const& message);

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
