#include "app/shell/TabVisibility.h"

#include <QTabWidget>

namespace kv58 {

void setTabShown(QTabWidget& tabs, QWidget* page, bool shown)
{
    const int index = tabs.indexOf(page);
    if (index >= 0)
        tabs.setTabVisible(index, shown);
}

bool tabShown(const QTabWidget& tabs, const QWidget* page)
{
    const int index = tabs.indexOf(page);
    return index >= 0 && tabs.isTabVisible(index);
}

} // namespace kv58
