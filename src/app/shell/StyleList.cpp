#include "app/shell/StyleList.h"

#include "core/Translation.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyle>
#include <QStyleFactory>

namespace kv58 {
namespace {

QString styleKey(const QString& name)
{
    const QStringList keys = QStyleFactory::keys();
    for (const QString& key : keys) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return key;
    }
    return QString();
}

} // namespace

QString activeStyleName()
{
    const QString name = QApplication::style()->name();
    const QString key = styleKey(name);
    return key.isEmpty() ? name : key;
}

bool setActiveStyle(const QString& name)
{
    const QString key = styleKey(name.trimmed());
    if (key.isEmpty())
        return false;
    if (key == activeStyleName())
        return true;
    QStyle* style = QStyleFactory::create(key);
    if (style == nullptr)
        return false;
    QApplication::setStyle(style);
    return true;
}

StyleList::StyleList(QComboBox* box, Reporter report) : QObject(box), box_(box), report_(std::move(report))
{
    if (!report_) {
        report_ = [box](const QString& message) {
            QMessageBox::warning(box->window(), _("Visual style"), message);
        };
    }
    box_->setEditable(true);
    box_->setInsertPolicy(QComboBox::NoInsert);
    box_->clear();
    box_->addItems(QStyleFactory::keys());
    showActive();

    connect(box_, &QComboBox::activated, this, [this](int index) { choose(box_->itemText(index)); });
    // Typed names are taken when the field is confirmed or left, not at every keystroke, which
    // would report every partial name.
    connect(box_->lineEdit(), &QLineEdit::editingFinished, this, [this] { choose(box_->currentText()); });
}

bool StyleList::choose(const QString& name)
{
    if (name.trimmed().isEmpty()) {
        showActive();
        return false;
    }
    if (!setActiveStyle(name)) {
        showActive();
        report_(_("There is no visual style named \"%1\".").arg(name));
        return false;
    }
    showActive();
    return true;
}

void StyleList::showActive()
{
    const QString active = activeStyleName();
    const int index = box_->findText(active, Qt::MatchFixedString);
    if (index >= 0)
        box_->setCurrentIndex(index);
    box_->setEditText(index >= 0 ? box_->itemText(index) : active);
}

} // namespace kv58
