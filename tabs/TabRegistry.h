// The process-wide list of open tabs of every tab strip, used to close all detail tabs at once.
// GUI thread only.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

class MyTab;

// (title, tab), one pair per open tab in order of creation. A strip appends a pair when it
// creates a tab and removes it when the tab closes or the strip is destroyed; other code may
// drop pairs it wants kept out of a bulk close.
using TabRegistryEntry = QPair<QString, MyTab*>;

QList<TabRegistryEntry>& tabRegistry();

// Removes every pair that points at the tab.
void removeFromTabRegistry(const MyTab* tab);
