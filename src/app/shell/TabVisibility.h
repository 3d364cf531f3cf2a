// Showing and hiding a page of a page control by the page itself.
#pragma once

class QTabWidget;
class QWidget;

namespace kv58 {

void setTabShown(QTabWidget& tabs, QWidget* page, bool shown);
bool tabShown(const QTabWidget& tabs, const QWidget* page);

} // namespace kv58
