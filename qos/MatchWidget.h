// The "匹配分析" panel: a chosen data writer or data reader side by side with every endpoint of
// the other side on its topic, under the request-offered rules, each with its verdict. It
// follows the network while it shows an endpoint: counterparts that join are added, changed
// announcements updated, and those that leave greyed with a tooltip saying when, all in place;
// when the chosen endpoint leaves, every row is greyed and the first says so.
#pragma once

#include "CompatibilityKey.h"
#include "EndpointInfo.h"
#include "MatchType.h"
#include "MetaTypes.h"
#include "TabTree.h"
#include "ZorvanTypes.h"

#include <QIcon>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class MatchSnapshot;
class QTreeWidgetItem;
class Verdict;

struct WatchedTopic;

class MatchWidget : public TabTree
{
    Q_OBJECT

public:
    // Column 0 of a counterpart's row holds true under this role while the counterpart is gone
    // from the network; its comparison stays as last seen, greyed.
    static constexpr int LeftRole = Qt::UserRole + 1;
    // At most this many counterparts get a row; a last row says how many more there are.
    static constexpr int MaxCounterpartRows = 50;

    explicit MatchWidget(QWidget* parent = nullptr);
    ~MatchWidget() override;

    // The title of the panel's own tab, which stays open, in the operator's language.
    static QString fixedTabTitle();

    // True while the endpoint shown is gone from the network (the panel keeps its last
    // comparison).
    bool shownEndpointLeft() const { return m_request.has_value() && !m_chosenPresent; }

public slots:
    // GUI thread only, and never while holding MonitorLib::mutex (the lookups take it).
    void setMatchHandle(uint32_t domainId, ZORVAN::InstanceHandle_t handle, MatchType type);

private slots:
    // MonitorLib::dataChanged(): emitted on the polling thread and delivered queued to the GUI
    // thread, or emitted on the GUI thread and delivered at once.
    void onDataChanged();

private:
    // What setMatchHandle() was asked to show, kept to collect again after a change.
    struct Request
    {
        uint32_t domainId = 0;
        ZORVAN::InstanceHandle_t handle;
        MatchType type = ReaderMatch;
        EndpointInfo chosen;
        QStringList markers; // columns 2 and 3 of every counterpart's row
    };

    // One counterpart's top-level row.
    struct Row
    {
        std::string handleKey;
        QTreeWidgetItem* item = nullptr;
        CompatibilityKey key; // the counterpart's announcement as shown
        bool complete = false;
        bool present = true;
        QString summary;  // the verdict's, for the tooltip
        QString leftText; // "离开于 …" while gone
    };

    void sync(const MatchSnapshot& snapshot);
    void addRows(const MatchSnapshot& snapshot);
    void render(Row& row);
    void showVerdict(Row& row, const Verdict* verdict);
    // Greys the row while it or the chosen endpoint is gone and sets its tooltip.
    void showPresence(Row& row);
    void showNotShown(int notShown, int total);
    // The tree was emptied (by setMatchHandle or by the window after a domain change): the
    // rows are gone and nothing is followed any more.
    void forget();
    void resizeColumns();

    std::optional<Request> m_request;
    // The chosen endpoint's announcement as last seen; absent while it was never had.
    std::optional<CompatibilityKey> m_chosenKey;
    bool m_chosenPresent = false;
    // Says when the chosen endpoint left, on the first row's tooltip; empty while it is there.
    QString m_chosenLeftText;
    std::vector<Row> m_rows;
    std::unordered_map<std::string, size_t> m_rowOf; // by handle key
    QTreeWidgetItem* m_notShownRow = nullptr;
    // MonitorLib::signalCount() when the rows were last collected: a delivery of an emission
    // the collection has already seen is skipped.
    uint64_t m_collectedAt = 0;
    // the snapshots of the topic the shown judgements were made from; none when unknown
    std::optional<std::vector<std::shared_ptr<const WatchedTopic>>> m_judgedTopics;

    // The tree's model reset; cut before the members go, as the base's destructor deletes the
    // tree, which empties its model once more.
    QMetaObject::Connection m_resetConnection;
    QIcon m_compatibleIcon;
    QIcon m_incompatibleIcon;

    // Set while the panel builds or updates the tree: its own expansions need no column sizing
    // each, as the build sizes the columns itself (measuring long values is costly).
    bool m_filling = false;
};
