#include "app/shell/WindowTranslator.h"

#include "core/Translation.h"

#include <QAbstractButton>
#include <QAction>
#include <QByteArrayList>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMetaProperty>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QVariant>
#include <algorithm>
#include <functional>
#include <type_traits>

namespace kv58 {
namespace {

// Where the English source and the text last shown are kept: dynamic properties on objects,
// data roles on items. A remembered empty source marks a text that code fills in.
constexpr const char* kExcludedProperty = "_kv58_translation_excluded";
constexpr int kSourceRole = Qt::UserRole + 0x4B58;
constexpr int kShownRole = kSourceRole + 1;

QByteArrayList& excludedClasses()
{
    static QByteArrayList classes;
    return classes;
}

// One translatable text: where its memory lives and how to read and write it.
struct Slot {
    std::function<QVariant(bool source)> recall;
    std::function<void(bool source, const QString&)> remember;
    QString current;
    std::function<void(const QString&)> show;
};

void translateSlot(const Slot& slot)
{
    const QVariant remembered = slot.recall(true);
    QString source;
    if (!remembered.isValid()) {
        source = slot.current;
        slot.remember(true, source);
    } else {
        source = remembered.toString();
        // Code changed the text since it was last translated: it is the code's text now, unless
        // the code put the English source text back.
        if (slot.current != slot.recall(false).toString() && slot.current != source)
            return;
    }
    const QString shown = translate(source);
    slot.remember(false, shown);
    if (shown != slot.current)
        slot.show(shown);
}

// A text held by an object, its memory kept in dynamic properties named after `key`.
void translateObjectText(QObject* holder, const QByteArray& key, const QString& current,
                         const std::function<void(const QString&)>& show)
{
    const QByteArray sourceName = "_kv58_source_" + key;
    const QByteArray shownName = "_kv58_shown_" + key;
    translateSlot({[=](bool source) { return holder->property(source ? sourceName : shownName); },
                   [=](bool source, const QString& text) {
                       holder->setProperty(source ? sourceName : shownName, text);
                   },
                   current, show});
}

// A QString property of the object's class, by name.
void translateProperty(QObject* object, const char* name)
{
    const QMetaObject* meta = object->metaObject();
    const int index = meta->indexOfProperty(name);
    if (index < 0)
        return;
    const QMetaProperty property = meta->property(index);
    if (!property.isWritable() || property.metaType().id() != QMetaType::QString)
        return;
    translateObjectText(object, name, property.read(object).toString(),
                        [object, property](const QString& text) { property.write(object, text); });
}

template <typename Item>
void translateItemText(Item* item, const QString& current, const std::function<void(const QString&)>& show,
                       int column = -1)
{
    // Implicit captures: the column is used for tree items only.
    const auto data = [=](int role) {
        if constexpr (std::is_same_v<Item, QTreeWidgetItem>)
            return item->data(column, role);
        else
            return item->data(role);
    };
    const auto setData = [=](int role, const QString& text) {
        if constexpr (std::is_same_v<Item, QTreeWidgetItem>)
            item->setData(column, role, text);
        else
            item->setData(role, text);
    };
    translateSlot(
        {[=](bool source) { return data(source ? kSourceRole : kShownRole); },
         [=](bool source, const QString& text) { setData(source ? kSourceRole : kShownRole, text); }, current,
         show});
}

// Qt derives an action's tool tip and icon text from its text when none was set.
QString strippedActionText(QString text)
{
    text.remove(QStringLiteral("..."));
    text.remove(QChar(0x2026));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&')
            text.remove(i, 1);
    }
    return text.trimmed();
}

void translateAction(QAction* action)
{
    // The tool tip may be derived from the text; read it before the text changes.
    const QString derived = strippedActionText(action->text());
    const bool ownToolTip = action->toolTip() != derived;
    const bool ownIconText = action->iconText() != derived;
    translateObjectText(action, "text", action->text(), [action](const QString& t) { action->setText(t); });
    if (ownToolTip)
        translateObjectText(action, "toolTip", action->toolTip(),
                            [action](const QString& t) { action->setToolTip(t); });
    if (ownIconText)
        translateObjectText(action, "iconText", action->iconText(),
                            [action](const QString& t) { action->setIconText(t); });
    translateObjectText(action, "statusTip", action->statusTip(),
                        [action](const QString& t) { action->setStatusTip(t); });
    translateObjectText(action, "whatsThis", action->whatsThis(),
                        [action](const QString& t) { action->setWhatsThis(t); });
}

void translateTabs(QTabBar* bar)
{
    auto* tabWidget = qobject_cast<QTabWidget*>(bar->parentWidget());
    for (int i = 0; i < bar->count(); ++i) {
        // Tabs of a tab widget keep their memory on their page, so that pages may be removed,
        // inserted or moved; a lone tab bar keeps it by position.
        QObject* holder = tabWidget != nullptr ? static_cast<QObject*>(tabWidget->widget(i)) : bar;
        const QByteArray suffix = tabWidget != nullptr ? QByteArray() : "#" + QByteArray::number(i);
        if (holder == nullptr)
            continue;
        translateObjectText(holder, "tabText" + suffix, bar->tabText(i),
                            [bar, i](const QString& t) { bar->setTabText(i, t); });
        translateObjectText(holder, "tabToolTip" + suffix, bar->tabToolTip(i),
                            [bar, i](const QString& t) { bar->setTabToolTip(i, t); });
    }
}

void translateComboItems(QComboBox* box)
{
    for (int i = 0; i < box->count(); ++i) {
        translateSlot({[box, i](bool source) { return box->itemData(i, source ? kSourceRole : kShownRole); },
                       [box, i](bool source, const QString& text) {
                           box->setItemData(i, text, source ? kSourceRole : kShownRole);
                       },
                       box->itemText(i), [box, i](const QString& t) { box->setItemText(i, t); }});
    }
}

void translateTreeHeader(QTreeWidget* tree)
{
    QTreeWidgetItem* header = tree->headerItem();
    if (header == nullptr)
        return;
    for (int column = 0; column < header->columnCount(); ++column) {
        translateItemText(
            header, header->text(column), [header, column](const QString& t) { header->setText(column, t); },
            column);
    }
}

void translateTableHeaders(QTableWidget* table)
{
    const auto headerItem = [](QTableWidgetItem* item) {
        if (item != nullptr)
            translateItemText(item, item->text(), [item](const QString& t) { item->setText(t); });
    };
    for (int column = 0; column < table->columnCount(); ++column)
        headerItem(table->horizontalHeaderItem(column));
    for (int row = 0; row < table->rowCount(); ++row)
        headerItem(table->verticalHeaderItem(row));
}

void translateWidget(QWidget* widget)
{
    static const char* const kCommon[] = {
        "windowTitle",           "toolTip",         "statusTip", "whatsThis", "accessibleName",
        "accessibleDescription", "placeholderText", "prefix",    "suffix",    "specialValueText"};
    for (const char* name : kCommon)
        translateProperty(widget, name);

    if (qobject_cast<QLabel*>(widget) != nullptr)
        translateProperty(widget, "text");
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        // A tool button with a default action shows the action's texts.
        auto* toolButton = qobject_cast<QToolButton*>(button);
        if (toolButton == nullptr || toolButton->defaultAction() == nullptr)
            translateProperty(widget, "text");
    }
    if (qobject_cast<QGroupBox*>(widget) != nullptr)
        translateProperty(widget, "title");
    if (auto* bar = qobject_cast<QTabBar*>(widget)) {
        // Tab bars that a main window or MDI area makes for docks follow the docks' titles.
        const QWidget* owner = bar->parentWidget();
        if (owner == nullptr || (!owner->inherits("QMainWindow") && !owner->inherits("QMdiArea")))
            translateTabs(bar);
    }
    if (auto* box = qobject_cast<QComboBox*>(widget))
        translateComboItems(box);
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            translateItemText(item, item->text(), [item](const QString& t) { item->setText(t); });
        }
    }
    if (auto* tree = qobject_cast<QTreeWidget*>(widget))
        translateTreeHeader(tree);
    if (auto* table = qobject_cast<QTableWidget*>(widget))
        translateTableHeaders(table);
    if (auto* toolBox = qobject_cast<QToolBox*>(widget)) {
        for (int i = 0; i < toolBox->count(); ++i) {
            translateObjectText(toolBox->widget(i), "toolBoxText", toolBox->itemText(i),
                                [toolBox, i](const QString& t) { toolBox->setItemText(i, t); });
            translateObjectText(toolBox->widget(i), "toolBoxToolTip", toolBox->itemToolTip(i),
                                [toolBox, i](const QString& t) { toolBox->setItemToolTip(i, t); });
        }
    }
}

bool isExcluded(const QObject* object)
{
    if (object->property(kExcludedProperty).toBool())
        return true;
    return std::ranges::any_of(
        excludedClasses(), [object](const QByteArray& name) { return object->inherits(name.constData()); });
}

// Visits the window and everything it owns, each object once: child objects, the actions
// added to widgets, and menus reached through actions even when owned elsewhere.
class Walk {
public:
    void visit(QObject* object)
    {
        if (object == nullptr || visited_.contains(object) || isExcluded(object))
            return;
        visited_.insert(object);
        if (auto* widget = qobject_cast<QWidget*>(object)) {
            translateWidget(widget);
            if (auto* menu = qobject_cast<QMenu*>(widget))
                visit(menu->menuAction());
            for (QAction* action : widget->actions())
                visit(action);
        }
        if (auto* action = qobject_cast<QAction*>(object)) {
            translateAction(action);
            visit(action->menu());
        }
        for (QObject* child : object->children())
            visit(child);
    }

private:
    QSet<QObject*> visited_;
};

} // namespace

void WindowTranslator::translate(QWidget* window)
{
    Walk().visit(window);
}

void WindowTranslator::retranslate(QWidget* window)
{
    Walk().visit(window);
}

void WindowTranslator::exclude(QObject* object)
{
    if (object != nullptr)
        object->setProperty(kExcludedProperty, true);
}

void WindowTranslator::excludeClass(const char* className)
{
    if (className != nullptr && !excludedClasses().contains(className))
        excludedClasses() << QByteArray(className);
}

} // namespace kv58
