// TNumIO: an edit box that only admits valid numbers of its input format and range; a rejected edit
// puts the last accepted text back.
#pragma once

#include "widgets/NumInput.h"

#include <QLineEdit>

namespace kv58 {

class TNumIO : public QLineEdit {
    Q_OBJECT
public:
    explicit TNumIO(QWidget* parent = nullptr);

    TInFormat inputFormat() const { return m_rules.format; }
    void setInputFormat(TInFormat format) { m_rules.format = format; }
    double rangeLow() const { return m_rules.rangeLow; }
    double rangeHigh() const { return m_rules.rangeHigh; }
    // Without a call the range is unlimited.
    void setRange(double low, double high);
    TDecPSep decPlaceSep() const { return m_rules.decPlaceSep; }
    void setDecPlaceSep(TDecPSep sep) { m_rules.decPlaceSep = sep; }
    int fixPointDecPlaces() const { return m_rules.fixPointDecPlaces; }
    void setFixPointDecPlaces(int places);
    bool beep() const { return m_beep; }
    void setBeep(bool on) { m_beep = on; }
    const NumInputRules& rules() const { return m_rules; }

    // The displayed text as a number, 0 when it does not parse.
    double GetValue() const;
    // Replaces the text by the formatted value; texts set by the program are taken unchecked.
    void SetValue(double value);

private:
    class Validator;
    NumInputRules m_rules;
    bool m_beep = false;
};

} // namespace kv58
