#include "widgets/NumIO.h"

#include <QApplication>
#include <QValidator>

namespace kv58 {

// Judges every edit the operator makes. An edit judged invalid is undone by the line edit, which
// restores the previous text and puts the caret back where it stood before the edit.
class TNumIO::Validator : public QValidator {
public:
    explicit Validator(TNumIO* owner) : QValidator(owner), m_owner(owner) {}

    State validate(QString& input, int& pos) const override
    {
        // A text the program set (or an undo back to one) is not the operator's edit.
        if (!m_owner->isModified())
            return Acceptable;
        const NumInputCheck check = checkNumInput(input, m_owner->m_rules, systemDecimalSeparator());
        if (!check.accepted) {
            if (m_owner->m_beep)
                QApplication::beep();
            return Invalid;
        }
        if (check.text != input) {
            input = check.text;
            pos = std::min(pos, static_cast<int>(input.size()));
        }
        return Acceptable;
    }

private:
    TNumIO* m_owner;
};

TNumIO::TNumIO(QWidget* parent) : QLineEdit(parent)
{
    setValidator(new Validator(this));
}

void TNumIO::setRange(double low, double high)
{
    m_rules.rangeLow = low;
    m_rules.rangeHigh = high;
}

void TNumIO::setFixPointDecPlaces(int places)
{
    m_rules.fixPointDecPlaces = std::clamp(places, 1, 8);
}

double TNumIO::GetValue() const
{
    return numInputValue(text(), m_rules.format);
}

void TNumIO::SetValue(double value)
{
    setText(numInputText(value, m_rules.format, m_rules.fixPointDecPlaces));
}

} // namespace kv58
