// Pictures of the screen for the screenshot runs under Xvfb (BRELVANE_SCREENSHOT_DIR), taken
// from inside the tests that walk the real window.
#pragma once

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QString>
#include <QTest>

namespace ScreenShot {

// Saves the whole screen as <dir>/<name>.png once pending paints are done; with an empty `dir`
// (a normal test run) it does nothing. False when the picture could not be saved.
inline bool save(const QString& dir, const QString& name)
{
    if (dir.isEmpty()) {
        return true;
    }
    QTest::qWait(300);
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen &&
           screen->grabWindow(0).save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace ScreenShot
