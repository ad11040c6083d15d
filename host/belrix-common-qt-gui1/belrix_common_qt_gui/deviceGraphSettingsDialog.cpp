#include "belrix_common_qt_gui/deviceGraphSettingsDialog.h"

#include "belrix_common_qt_gui/deviceGraphSet.h"
#include "belrix_common_qt_gui/qualityGraph.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace belrix_common_qt_gui {

namespace {

QListWidgetItem* makeItem(QString const& id, deviceGraphSet_t const* set)
{
    qualityGraph_t const* source = set ? set->sourceForId(id) : nullptr;
    QString text = id;
    if (source)
        text = source->unit().isEmpty() ? source->name() : QStringLiteral("%1 [%2]").arg(source->name(), source->unit());
    auto* item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, id);
    if (!source)
        item->setToolTip(deviceGraphSettingsDialog_t::tr("This device does not offer this graph"));
    return item;
}

} // namespace

class deviceGraphSettingsDialog_t::private_t
{
public:
    QPointer<deviceGraphSet_t> set;
    QListWidget* available = nullptr;
    QListWidget* chosen = nullptr;
    QPushButton* add = nullptr;
    QPushButton* remove = nullptr;
    QPushButton* up = nullptr;
    QPushButton* down = nullptr;
};

deviceGraphSettingsDialog_t::deviceGraphSettingsDialog_t(QWidget* parent) : QDialog(parent), d(new private_t)
{
    setWindowTitle(tr("Graph Settings"));
    auto* grid = new QGridLayout;
    d->available = new QListWidget(this);
    d->available->setObjectName(QStringLiteral("availableList"));
    d->chosen = new QListWidget(this);
    d->chosen->setObjectName(QStringLiteral("chosenList"));
    auto makeButton = [this](QString const& text, char const* name) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        return button;
    };
    d->add = makeButton(tr("Add >"), "addButton");
    d->remove = makeButton(tr("< Remove"), "removeButton");
    d->up = makeButton(tr("Up"), "upButton");
    d->down = makeButton(tr("Down"), "downButton");
    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {d->add, d->remove, d->up, d->down})
        buttons->addWidget(button);
    buttons->addStretch(1);
    grid->addWidget(new QLabel(tr("Available:"), this), 0, 0);
    grid->addWidget(new QLabel(tr("Shown, top to bottom (at most %1):").arg(deviceGraphSet_t::DEFAULT_MAX_USED_GRAPHS), this),
                    0, 2);
    grid->addWidget(d->available, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(d->chosen, 1, 2);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->setObjectName(QStringLiteral("buttonBox"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(box);

    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(d->add, &QPushButton::clicked, this, &deviceGraphSettingsDialog_t::addGraph);
    connect(d->remove, &QPushButton::clicked, this, &deviceGraphSettingsDialog_t::removeGraph);
    connect(d->up, &QPushButton::clicked, this, &deviceGraphSettingsDialog_t::moveUp);
    connect(d->down, &QPushButton::clicked, this, &deviceGraphSettingsDialog_t::moveDown);
    connect(d->available, &QListWidget::itemDoubleClicked, this, &deviceGraphSettingsDialog_t::addGraph);
    connect(d->chosen, &QListWidget::itemDoubleClicked, this, &deviceGraphSettingsDialog_t::removeGraph);
    connect(d->available, &QListWidget::currentRowChanged, this, &deviceGraphSettingsDialog_t::checkButtons);
    connect(d->chosen, &QListWidget::currentRowChanged, this, &deviceGraphSettingsDialog_t::checkButtons);
    checkButtons();
}

deviceGraphSettingsDialog_t::~deviceGraphSettingsDialog_t() { delete d; }

void deviceGraphSettingsDialog_t::setDeviceGraphSet(deviceGraphSet_t* set)
{
    if (d->set)
        disconnect(d->set, nullptr, this, nullptr);
    d->set = set;
    if (set)
        connect(set, &QObject::destroyed, this, &deviceGraphSettingsDialog_t::handleGraphSetDestroyed);
    fillLists(settings().graphIds());
}

void deviceGraphSettingsDialog_t::setSettings(deviceGraphSettings_t const& settings)
{
    fillLists(settings.graphIds());
}

deviceGraphSettings_t deviceGraphSettingsDialog_t::settings() const
{
    deviceGraphSettings_t settings;
    for (int i = 0; i < d->chosen->count(); ++i)
        settings.addGraphId(graphId_t(d->chosen->item(i)->data(Qt::UserRole).toString()));
    return settings;
}

void deviceGraphSettingsDialog_t::fillLists(QStringList const& chosen)
{
    d->available->clear();
    d->chosen->clear();
    // an identifier the set does not know stays where it is, so OK keeps the stored choice
    for (QString const& id : chosen)
        d->chosen->addItem(makeItem(id, d->set));
    if (d->set) {
        for (qualityGraph_t const* source : d->set->sources()) {
            if (!chosen.contains(source->id()))
                d->available->addItem(makeItem(source->id(), d->set));
        }
    }
    d->available->setCurrentRow(d->available->count() > 0 ? 0 : -1);
    d->chosen->setCurrentRow(d->chosen->count() > 0 ? 0 : -1);
    checkButtons();
}

void deviceGraphSettingsDialog_t::addGraph()
{
    const int row = d->available->currentRow();
    if (row < 0 || d->chosen->count() >= int(deviceGraphSet_t::DEFAULT_MAX_USED_GRAPHS))
        return;
    d->chosen->addItem(d->available->takeItem(row));
    d->chosen->setCurrentRow(d->chosen->count() - 1);
    checkButtons();
}

void deviceGraphSettingsDialog_t::removeGraph()
{
    const int row = d->chosen->currentRow();
    if (row < 0)
        return;
    QListWidgetItem* item = d->chosen->takeItem(row);
    const QString id = item->data(Qt::UserRole).toString();
    if (d->set && d->set->sourceForId(id)) {
        // back to its place in the set's order
        const QVector<qualityGraph_t*> sources = d->set->sources();
        int at = 0;
        for (qualityGraph_t const* source : sources) {
            if (source->id() == id)
                break;
            if (at < d->available->count() && d->available->item(at)->data(Qt::UserRole).toString() == source->id())
                ++at;
        }
        d->available->insertItem(at, item);
        d->available->setCurrentRow(at);
    } else {
        delete item;
    }
    checkButtons();
}

void deviceGraphSettingsDialog_t::moveUp()
{
    const int row = d->chosen->currentRow();
    if (row <= 0)
        return;
    d->chosen->insertItem(row - 1, d->chosen->takeItem(row));
    d->chosen->setCurrentRow(row - 1);
}

void deviceGraphSettingsDialog_t::moveDown()
{
    const int row = d->chosen->currentRow();
    if (row < 0 || row + 1 >= d->chosen->count())
        return;
    d->chosen->insertItem(row + 1, d->chosen->takeItem(row));
    d->chosen->setCurrentRow(row + 1);
}

void deviceGraphSettingsDialog_t::checkButtons()
{
    const int chosenRow = d->chosen->currentRow();
    d->add->setEnabled(d->available->currentRow() >= 0
                       && d->chosen->count() < int(deviceGraphSet_t::DEFAULT_MAX_USED_GRAPHS));
    d->remove->setEnabled(chosenRow >= 0);
    d->up->setEnabled(chosenRow > 0);
    d->down->setEnabled(chosenRow >= 0 && chosenRow + 1 < d->chosen->count());
}

void deviceGraphSettingsDialog_t::handleGraphSetDestroyed()
{
    d->set = nullptr;
    fillLists(settings().graphIds());
}

} // namespace belrix_common_qt_gui
