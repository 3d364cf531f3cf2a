#include "app/shell/FormRows.h"

#include <QFormLayout>
#include <QLabel>

namespace kv58 {

void addCaptionedRow(QFormLayout* form, const char* caption, QWidget* field, QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setBuddy(field);
    // An input is named by its caption; a label that shows a value keeps the value as its name
    // and gets the caption as its description.
    if (qobject_cast<QLabel*>(field))
        field->setAccessibleDescription(QString::fromUtf8(caption));
    else
        field->setAccessibleName(QString::fromUtf8(caption));
    form->addRow(label, field);
}

} // namespace kv58
