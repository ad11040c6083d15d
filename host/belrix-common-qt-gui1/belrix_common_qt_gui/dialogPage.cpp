#include "belrix_common_qt_gui/dialogPage.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace belrix_common_qt_gui {

class dialogPage_t::private_t
{
public:
    QTextBrowser* text = nullptr;
    QString html;
};

dialogPage_t::dialogPage_t(QWidget* parent) : QDialog(parent), d(new private_t)
{
    // a window of its own even with a parent, which only keeps it alive
    setWindowFlags(Qt::Window);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    d->text = new QTextBrowser(this);
    d->text->setOpenExternalLinks(false);
    layout->addWidget(d->text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(420, 360);
}

dialogPage_t::~dialogPage_t() { delete d; }

void dialogPage_t::setHtml(QString const& html)
{
    d->html = html;
    d->text->setHtml(html);
}

QString dialogPage_t::html() const { return d->html; }

QString dialogPage_t::plainText() const { return d->text->toPlainText(); }

} // namespace belrix_common_qt_gui
