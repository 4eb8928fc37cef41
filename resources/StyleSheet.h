// The application style sheet: the look of the tab strips, their buttons and the panel frames.
// The main window sets it on itself once, before it creates any child, so every panel inherits it.
#pragma once

#include <QString>

// UTF-8 text of the style sheet (the tab font's family name is Chinese).
extern const char applicationStyleSheetText[];

// applicationStyleSheetText decoded, ready for QWidget::setStyleSheet.
QString applicationStyleSheet();
