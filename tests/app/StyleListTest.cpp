// The visual style list: filled with Qt's styles, switching at once, refusing unknown names.
#include "app/shell/StyleList.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QStyle>
#include <QStyleFactory>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

class StyleListTest : public ::testing::Test {
protected:
    void SetUp() override { original_ = kv58::activeStyleName(); }
    void TearDown() override { kv58::setActiveStyle(original_); }

    // A style name other than the active one.
    QString otherStyle() const
    {
        for (const QString& key : QStyleFactory::keys()) {
            if (key != original_)
                return key;
        }
        return QString();
    }

    QString original_;
    QStringList reported_;
    kv58::StyleList::Reporter report_ = [this](const QString& message) { reported_ << message; };
};

TEST_F(StyleListTest, ListsTheStylesWithTheActiveOneSelected)
{
    QComboBox box;
    kv58::StyleList list(&box, report_);
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    EXPECT_EQ(items, QStyleFactory::keys());
    EXPECT_TRUE(QStyleFactory::keys().contains(original_));
    EXPECT_EQ(box.currentText(), original_);
}

TEST_F(StyleListTest, PickedOrTypedNameBecomesTheActiveStyleAtOnce)
{
    const QString other = otherStyle();
    if (other.isEmpty())
        GTEST_SKIP() << "Qt offers a single style here";
    QComboBox box;
    kv58::StyleList list(&box, report_);

    emit box.activated(box.findText(other));
    EXPECT_EQ(kv58::activeStyleName(), other);
    EXPECT_EQ(QApplication::style()->name().toLower(), other.toLower());

    // Typed in another case and confirmed with Enter.
    box.lineEdit()->clear();
    QTest::keyClicks(box.lineEdit(), original_.toUpper());
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(kv58::activeStyleName(), original_);
    EXPECT_EQ(box.currentText(), original_);
    EXPECT_TRUE(reported_.isEmpty()) << reported_.join(u'\n').toStdString();
}

TEST_F(StyleListTest, NameThatIsNoStyleIsReportedAndTheActiveStyleStays)
{
    QComboBox box;
    kv58::StyleList list(&box, report_);
    box.lineEdit()->clear();
    QTest::keyClicks(box.lineEdit(), QStringLiteral("Plastique"));
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);

    ASSERT_EQ(reported_.size(), 1);
    EXPECT_TRUE(reported_.first().contains(QStringLiteral("\"Plastique\"")))
        << reported_.first().toStdString();
    EXPECT_EQ(kv58::activeStyleName(), original_);
    EXPECT_EQ(box.currentText(), original_);
    EXPECT_EQ(box.count(), QStyleFactory::keys().size());
}

} // namespace
