#include "belrix_common_qt_gui/styleManager.h"

namespace belrix_common_qt_gui {

class styleManager_t::private_t
{
public:
    QSet<QString> tags;
};

styleManager_t* styleManager_t::get()
{
    static styleManager_t* instance = new styleManager_t;
    return instance;
}

styleManager_t::styleManager_t() : d(new private_t) {}
styleManager_t::~styleManager_t() { delete d; }

QSet<QString> styleManager_t::globalTags() const { return d->tags; }

void styleManager_t::setGlobalTags(QSet<QString> const& tags)
{
    if (d->tags == tags)
        return;
    d->tags = tags;
    emit globalTagsChanged(tags);
}

bool styleManager_t::hasGlobalTag(QString const& tag) const { return d->tags.contains(tag); }

} // namespace belrix_common_qt_gui
