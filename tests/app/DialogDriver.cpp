#include "DialogDriver.h"

#include "BrelvaneQtDemo.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

QPushButton* buttonWithText(QWidget* parent, const QString& text)
{
    for (QPushButton* b : parent->findChildren<QPushButton*>()) {
        if (b->text() == text) {
            return b;
        }
    }
    return nullptr;
}

} // namespace

DialogResult runDomainDialog(BrelvaneQtDemo& window, const QString& included,
                             const QString& excluded, const QString& okText,
                             const QString& cancelText)
{
    DialogResult result;
    QDialog* dialog = nullptr;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (box->property("brelvaneSeen").toBool()) {
                return; // acknowledged already, the click is on its way
            }
            box->setProperty("brelvaneSeen", true);
            result.warned = true;
            ++result.warnings;
            result.warningTitle = box->windowTitle();
            result.warningText = box->text();
            result.dialogShownAtWarning = dialog != nullptr && dialog->isVisible();
            // Queued: a click runs nested event loops, and this timer cannot fire inside its own
            // slot.
            QMetaObject::invokeMethod(box->button(QMessageBox::Ok), "click", Qt::QueuedConnection);
            return;
        }
        auto* shown = qobject_cast<QDialog*>(modal);
        if (!shown) {
            return;
        }
        if (shown == dialog) {
            // Still open after a warning: give up the way an operator would.
            if (result.warned) {
                QMetaObject::invokeMethod(buttonWithText(shown, cancelText), "click",
                                          Qt::QueuedConnection);
            }
            return;
        }
        dialog = shown;
        result.opened = true;
        result.dialogTitle = dialog->windowTitle();
        for (const QLabel* label : dialog->findChildren<QLabel*>()) {
            result.labelTexts << label->text();
        }
        for (const QPushButton* button : dialog->findChildren<QPushButton*>()) {
            result.buttonTexts << button->text();
        }
        const QList<QLineEdit*> edits = dialog->findChildren<QLineEdit*>();
        if (edits.size() != 2) {
            return;
        }
        result.includedShown = edits[0]->text();
        result.excludedShown = edits[1]->text();
        edits[0]->setText(included);
        edits[1]->setText(excluded);
        QObject::connect(dialog, &QDialog::accepted, [&result] { result.closedByAccept = true; });
        QPushButton* ok = buttonWithText(dialog, okText);
        if (!ok) {
            // Not the dialog expected: close it, the caller sees it was never accepted.
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
            return;
        }
        QTimer::singleShot(0, ok, [ok] { QTest::mouseClick(ok, Qt::LeftButton); });
    });
    poll.start();
    window.action->trigger();
    poll.stop();
    return result;
}
