#include "app/InternPage.h"

#include "core/Translation.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace kv58 {

InternPage::InternPage(QWidget* parent) : QWidget(parent)
{
    auto* form = new QFormLayout(this);

    auto* folder = new QWidget(this);
    auto* folderLayout = new QHBoxLayout(folder);
    folderLayout->setContentsMargins(0, 0, 0, 0);
    DirectoryEdit1 = new QLineEdit(folder);
    DirectoryBrowse = new QToolButton(folder);
    DirectoryBrowse->setText(QStringLiteral("..."));
    folderLayout->addWidget(DirectoryEdit1, 1);
    folderLayout->addWidget(DirectoryBrowse);
    form->addRow(new QLabel(QString::fromUtf8(N_("Ini-Path")), this), folder);

    cbxStyles = new QComboBox(this);
    form->addRow(new QLabel(QString::fromUtf8(N_("Visual style")), this), cbxStyles);
}

} // namespace kv58
