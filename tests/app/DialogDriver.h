// Drives the domain dialog of a main window as an operator would: opens it from the menu
// action, types both fields, presses "确定", and answers a warning if one comes up.
#pragma once

#include <QString>

class BrelvaneQtDemo;

struct DialogResult
{
    bool opened = false;
    QString includedShown; // the texts the dialog came up with
    QString excludedShown;
    bool warned = false;
    int warnings = 0;     // warning boxes shown, each acknowledged
    QString warningTitle; // of the last warning
    QString warningText;
    bool dialogShownAtWarning = false; // whether the dialog was still open under the last one
    bool closedByAccept = false;
};

// Opens the dialog, enters the texts and presses "确定"; when a warning shows, it is
// acknowledged and the dialog, if still open, is then cancelled with "取消".
DialogResult runDomainDialog(BrelvaneQtDemo& window, const QString& included,
                             const QString& excluded);
