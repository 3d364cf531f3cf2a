#include "app/service/InternPage.h"

#include "app/shell/StyleList.h"
#include "app/shell/WindowTranslator.h"
#include "core/Translation.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace kv58 {

InternPage::InternPage(QWidget* parent) : QWidget(parent)
{
    auto* form = new QFormLayout(this);

    DirectoryEdit1 = new QLineEdit(this);
    DirectoryEdit1->setObjectName(QStringLiteral("DirectoryEdit1"));
    auto* folderLabel = new QLabel(QString::fromUtf8(N_("Ini-Path")), this);
    folderLabel->setBuddy(DirectoryEdit1);
    DirectoryEdit1->setAccessibleName(QStringLiteral("Ini-Path"));
    form->addRow(folderLabel, DirectoryEdit1);
    connect(DirectoryEdit1, &QLineEdit::editingFinished, this, &InternPage::dataFolderEdited);

    cbxStyles = new QComboBox(this);
    cbxStyles->setObjectName(QStringLiteral("cbxStyles"));
    auto* styleLabel = new QLabel(QString::fromUtf8(N_("Visual style")), this);
    styleLabel->setBuddy(cbxStyles);
    cbxStyles->setAccessibleName(QStringLiteral("Visual style"));
    form->addRow(styleLabel, cbxStyles);
    // Style names are data, never translated.
    WindowTranslator::exclude(cbxStyles);
    styles_ = new StyleList(cbxStyles);
    styles_->setParent(this);
}

QString InternPage::dataFolderText() const
{
    return DirectoryEdit1->text();
}

void InternPage::setDataFolderText(const QString& folder)
{
    DirectoryEdit1->setText(folder);
}

} // namespace kv58
