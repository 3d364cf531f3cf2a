// Answers the modal dialogs and message boxes a command opens, one step per dialog in the order
// they appear, and remembers the texts of the message boxes it closed.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

namespace kv58::test {

class ModalScript {
public:
    using Step = std::function<void(QWidget*)>;

    ModalScript()
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] { answer(); });
        poll_.start(5);
    }

    ModalScript& then(Step step)
    {
        steps_.push_back(std::move(step));
        return *this;
    }
    // A message box is closed with `button`; its text is kept in boxTexts.
    ModalScript& thenPress(QMessageBox::StandardButton button)
    {
        return then([this, button](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) {
                ADD_FAILURE() << "expected a message box, got " << w->metaObject()->className();
                w->close();
                return;
            }
            boxTexts << box->text();
            if (QAbstractButton* pressed = box->button(button))
                pressed->click();
            else
                box->close();
        });
    }
    // A file dialog gets `file` and is accepted once this step is over, so that a question the
    // dialog asks is answered by the next step.
    static Step choose(const QString& file)
    {
        return [file](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog) {
                ADD_FAILURE() << "expected a file dialog, got " << w->metaObject()->className();
                w->close();
                return;
            }
            dialog->selectFile(file);
            // QFileDialog::accept checks the name as its own button would.
            QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog*>(dialog)->accept(); });
        };
    }
    int pending() const { return static_cast<int>(steps_.size()); }

    QStringList boxTexts;

private:
    void answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != handled_)
            handled_ = nullptr; // the last one answered has gone; the same dialog may come again
        if (!modal || !modal->isVisible() || modal == handled_ || steps_.empty())
            return;
        handled_ = modal;
        Step step = std::move(steps_.front());
        steps_.pop_front();
        step(modal);
    }

    QTimer poll_;
    std::deque<Step> steps_;
    QPointer<QWidget> handled_;
};

} // namespace kv58::test
