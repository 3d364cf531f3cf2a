// The visual style chooser: an editable list of the styles Qt offers, whose choice becomes the
// style of the whole application at once. The choice is not saved.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QComboBox;

namespace kv58 {

// The active style's name as the style list shows it (one of QStyleFactory::keys()).
QString activeStyleName();

// Makes the named style (compared without regard to case) the application's style. Returns false
// and leaves the active style when no style has that name.
bool setActiveStyle(const QString& name);

class StyleList : public QObject {
    Q_OBJECT
public:
    using Reporter = std::function<void(const QString& message)>;

    // Fills `box` with the style names in the order Qt gives them, selects the active one and
    // makes the box editable. Picking an entry switches at once; a typed name is taken when
    // the field is confirmed or left. `report` shows the message for a name that is not a style
    // (a warning box over the list unless given).
    explicit StyleList(QComboBox* box, Reporter report = {});

    // Applies `name`: the style becomes active, or the message is reported and the list shows the
    // active style again. Returns whether the style changed to `name`.
    bool choose(const QString& name);

private:
    void showActive();

    QComboBox* box_;
    Reporter report_;
};

} // namespace kv58
