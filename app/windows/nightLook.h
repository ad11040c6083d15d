#pragma once

#include <QObject>

class QIcon;
class QWidget;

namespace orvane {
namespace app {

// The night look layered over every top-level window, the module's included. The day style
// sheet paints views and edits white, which would glare on a dark bridge: at night they take
// the palette's own colours instead, and the icons of tool bars and menus are dimmed. The
// module's sheets and palettes stay as they are; this only adds to each window, and takes it
// away again by day.
class nightLook_t : public QObject
{
    Q_OBJECT
public:
    explicit nightLook_t(QObject* parent = nullptr);
    ~nightLook_t() override;

    void setNight(bool night);
    bool isNight() const;

    // The rules added to each window's own sheet at night.
    static QString sheet();
    // The icon at about half its light, its transparency kept.
    static QIcon dimmed(QIcon const& icon);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply(QWidget* window);
    void restore(QWidget* window);

    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
