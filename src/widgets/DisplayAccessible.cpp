#include "widgets/DisplayAccessible.h"

#include "widgets/NumLab.h"
#include "widgets/RasterLab.h"
#include "widgets/SevenSeg.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace kv58 {
namespace {

QString shownText(const QWidget* display)
{
    if (const auto* line = qobject_cast<const TRasterLab*>(display))
        return line->text();
    if (const auto* segments = qobject_cast<const TSevenSeg*>(display))
        return segments->caption();
    if (const auto* label = qobject_cast<const TNumLab*>(display))
        return label->displayedText();
    return {};
}

class DisplayInterface final : public QAccessibleWidget {
public:
    explicit DisplayInterface(QWidget* display) : QAccessibleWidget(display, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: {
            const QString name = widget()->accessibleName();
            return name.isEmpty() ? shownText(widget()) : name;
        }
        case QAccessible::Value:
        case QAccessible::Description:
            return shownText(widget());
        default:
            return QAccessibleWidget::text(t);
        }
    }
};

QAccessibleInterface* displayFactory(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (qobject_cast<TRasterLab*>(widget) || qobject_cast<TSevenSeg*>(widget) ||
        qobject_cast<TNumLab*>(widget))
        return new DisplayInterface(widget);
    return nullptr;
}

} // namespace

void installDisplayAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(displayFactory);
        return true;
    }();
    (void)installed;
}

void displayTextChanged(QWidget* display)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent nameChanged(display, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChanged);
}

} // namespace kv58
