// The service tab "Intern ONLY": the data folder and the visual style (identity programming and
// the version labels join it with the service functions).
#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;

namespace kv58 {

class StyleList;

class InternPage : public QWidget {
    Q_OBJECT
public:
    explicit InternPage(QWidget* parent = nullptr);

    QString dataFolderText() const;
    void setDataFolderText(const QString& folder);

signals:
    // The folder field was confirmed or left.
    void dataFolderEdited();

private:
    QLineEdit* DirectoryEdit1;
    QComboBox* cbxStyles;
    StyleList* styles_;
};

} // namespace kv58
