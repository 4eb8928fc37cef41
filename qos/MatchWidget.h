// The "匹配分析" panel: a chosen data writer or data reader side by side with the endpoint of
// the other side on its topic, under the request-offered rules. It states the rules and the
// two values; it judges nothing.
#pragma once

#include "EndpointInfo.h"
#include "MatchType.h"
#include "MetaTypes.h"
#include "TabTree.h"
#include "ZorvanTypes.h"

#include <cstdint>
#include <map>

class QTreeWidgetItem;

class MatchWidget : public TabTree
{
    Q_OBJECT

public:
    explicit MatchWidget(QWidget* parent = nullptr);

public slots:
    // GUI thread only, and never while holding MonitorLib::mutex (the lookups take it).
    void setMatchHandle(uint32_t domainId, ZORVAN::InstanceHandle_t handle, MatchType type);

private:
    using SideTable = std::map<int32_t, EndpointInfo>;

    void addComparison(uint32_t domainId, const ZORVAN::InstanceHandle_t& handle, int32_t side,
                       SideTable& sides, const QStringList& markers);
    void resizeColumns();

    // Set while setMatchHandle() builds the tree: its own expansions need no column sizing
    // each, as the build sizes the columns itself (measuring long values is costly).
    bool m_filling = false;
};
