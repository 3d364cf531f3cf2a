// The service tab "Intern ONLY": the data folder and the style list (identity programming and
// version labels join it as they are built).
#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;
class QToolButton;

namespace kv58 {

class InternPage : public QWidget {
    Q_OBJECT
public:
    explicit InternPage(QWidget* parent = nullptr);

    QLineEdit* DirectoryEdit1;
    QToolButton* DirectoryBrowse;
    QComboBox* cbxStyles;
};

} // namespace kv58
