#include "app/service/ZeitPage.h"

#include "app/shell/WindowTranslator.h"
#include "core/Translation.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

namespace kv58 {
namespace {
const QString kLineBreak = QStringLiteral("\r\n");
}

ZeitPage::ZeitPage(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QString::fromUtf8(N_("RTC Calibration")), this);
    auto* groupLayout = new QVBoxLayout(group);
    Memo2 = new QPlainTextEdit(group);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setReadOnly(true);
    Memo2->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Memo2->setAccessibleName(QString::fromUtf8(N_("RTC Calibration")));
    WindowTranslator::exclude(Memo2);
    groupLayout->addWidget(Memo2);
    layout->addWidget(group);
}

void ZeitPage::append(const QString& text)
{
    QTextCursor end(Memo2->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    Memo2->ensureCursorVisible();
}

void ZeitPage::logCalibrationRegister(const QString& payload)
{
    append(payload + kLineBreak);
}

void ZeitPage::logClockLine(const QString& line)
{
    append(kLineBreak + line);
}

QString ZeitPage::memo() const
{
    // The document keeps line breaks as paragraph separators; the memo's own text uses CR LF.
    return Memo2->toPlainText().replace(u'\n', kLineBreak);
}

} // namespace kv58
