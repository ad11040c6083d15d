#pragma once

#include <QObject>
#include <QString>

class QMainWindow;

namespace orvane {
namespace fixes {
struct fix_t;
}
namespace app {

class alarmPlayer_t;

// Makes every recorded fix unmistakable where it was taken: the device's window and the main
// window say, in their status bars and in full, what was recorded, where and when, and a short
// sound confirms it. A fix the store could not take yet is announced as such, so that it can be
// noted by hand.
class fixConfirmation_t : public QObject
{
    Q_OBJECT
public:
    // How long a confirmation stays in a status bar.
    static constexpr int MessageMs = 120000;
    // The status bar label that shows it.
    static QString labelName();

    // player may be null (silent); it and mainWindow must outlive this object.
    fixConfirmation_t(alarmPlayer_t* player, QString const& soundFile, QMainWindow* mainWindow,
                      QObject* parent = nullptr);
    ~fixConfirmation_t() override;

    // The text shown for fix, in short lines: what and whence, where, when; for an unsaved fix
    // also that it is not saved and, when given, storeProblem.
    static QString message(orvane::fixes::fix_t const& fix, QString const& storeProblem);

public slots:
    void confirm(orvane::fixes::fix_t const& fix);
    void confirmSaved(orvane::fixes::fix_t const& fix);

signals:
    // A fix is held in memory only; the user must hear of it even away from the status bars.
    void unsavedFix(QString const& message);

private:
    void show(unsigned int portId, QString const& text, QString const& details);

    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
