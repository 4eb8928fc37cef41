#include "TabRegistry.h"

#include <algorithm>

QList<TabRegistryEntry>& tabRegistry()
{
    static QList<TabRegistryEntry> registry;
    return registry;
}

void removeFromTabRegistry(const MyTab* tab)
{
    auto& registry = tabRegistry();
    registry.erase(
        std::remove_if(registry.begin(), registry.end(),
                       [tab](const TabRegistryEntry& entry) { return entry.second == tab; }),
        registry.end());
}
