// A field with its caption in a form layout: the caption's buddy is the field, so assistive
// technology reads them together.
#pragma once

class QFormLayout;
class QWidget;

namespace kv58 {

void addCaptionedRow(QFormLayout* form, const char* caption, QWidget* field, QWidget* parent);

} // namespace kv58
