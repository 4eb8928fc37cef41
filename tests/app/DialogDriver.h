// Drives the domain dialog of a main window as an operator would: opens it from the menu
// action, types both fields, presses "确定" (or the OK button's text in the language shown), and
// answers a warning if one comes up.
#pragma once

#include <QString>
#include <QStringList>

class BrelvaneQtDemo;

struct DialogResult
{
    bool opened = false;
    QString includedShown; // the texts the dialog came up with
    QString excludedShown;
    QString dialogTitle;     // as the dialog came up
    QStringList labelTexts;  // in layout order
    QStringList buttonTexts; // in layout order
    bool warned = false;
    int warnings = 0;     // warning boxes shown, each acknowledged
    QString warningTitle; // of the last warning
    QString warningText;
    bool dialogShownAtWarning = false; // whether the dialog was still open under the last one
    bool closedByAccept = false;
};

// Opens the dialog, enters the texts and presses `okText`; when a warning shows, it is
// acknowledged and the dialog, if still open, is then cancelled with `cancelText`.
DialogResult runDomainDialog(BrelvaneQtDemo& window, const QString& included,
                             const QString& excluded,
                             const QString& okText = QString::fromUtf8("确定"),
                             const QString& cancelText = QString::fromUtf8("取消"));
