#include "CycloneDomainParticipant.h"

#include "QosConversion.h"
#include "RecordDiff.h"
#include "VendorIdentity.h"

#include <array>
#include <cstring>
#include <new>
#include <unordered_set>
#include <utility>
#include <vector>

namespace ZORVAN {

namespace {

constexpr int32_t kTakeBatch = 256;

// Every operation of the interface runs its body through this: nothing may leave the layer
// as an exception.
template <typename Body> ReturnCode_t guarded(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return RETCODE_OUT_OF_RESOURCES;
    } catch (...) {
        return RETCODE_ERROR;
    }
}

// Samples Cyclone lends out until they are handed back.
struct Loan
{
    dds_entity_t reader;
    std::array<void*, kTakeBatch> samples{};
    int32_t count = 0;

    explicit Loan(dds_entity_t reader) : reader(reader) {}
    Loan(const Loan&) = delete;
    Loan& operator=(const Loan&) = delete;
    ~Loan()
    {
        if (count > 0) {
            dds_return_loan(reader, samples.data(), count);
        }
    }
};

template <typename Sample> bool always(const Sample&)
{
    return true;
}

// Done once per received sample, so every later copy of the record already names the peer's
// host and process the way the monitor reads them.
void toParticipantRecord(const dds_builtintopic_participant_t& sample,
                         ParticipantBuiltinTopicData& data)
{
    QosConversion::toParticipant(sample, data);
    VendorIdentity::addSysInfo(data.property.value);
}

// The builtin-topic readers of this process's participants (the layer's own among them) are
// local to the process and never announced, yet Cyclone lists them as subscriptions. They
// are not part of any application, so they are not listed.
bool isApplicationReader(const dds_builtintopic_endpoint_t& sample)
{
    static const char prefix[] = "org::eclipse::cyclonedds::builtin::";
    return sample.type_name == nullptr ||
           std::strncmp(sample.type_name, prefix, sizeof(prefix) - 1) != 0;
}

// Takes what Cyclone has not handed out yet and folds it into the table: a not-alive instance
// (the entity was deleted or its lease ran out) leaves the table, a new or changed alive one
// is converted and stored. Taking, not reading, is what lets Cyclone drop dead instances.
// A sample for a key already stored is compared with the stored record only then, so a
// steady network costs no comparison at all; what differs goes into the journal.
template <typename Sample, typename Record, typename Convert, typename Keep>
ReturnCode_t takeInto(dds_entity_t reader, BuiltinTable<Record>& table, Convert convert, Keep keep,
                      RecordKind kind, RecordChangeJournal& journal)
{
    if (reader <= 0) {
        return RETCODE_PRECONDITION_NOT_MET;
    }
    std::array<dds_sample_info_t, kTakeBatch> infos;
    for (;;) {
        Loan loan(reader);
        const dds_return_t taken =
            dds_take(reader, loan.samples.data(), infos.data(), kTakeBatch, kTakeBatch);
        if (taken < 0) {
            return RETCODE_ERROR;
        }
        loan.count = taken;
        for (int32_t i = 0; i < taken; ++i) {
            const auto* sample = static_cast<const Sample*>(loan.samples[size_t(i)]);
            const dds_sample_info_t& info = infos[size_t(i)];
            if (sample == nullptr) {
                continue;
            }
            const GuidKey key = GuidKey::fromBytes(sample->key.v);
            if (info.instance_state != DDS_IST_ALIVE) {
                table.remove(key);
                journal.forget(kind, key);
            } else if (info.valid_data && keep(*sample)) {
                Record record;
                convert(*sample, record);
                if (const Record* stored = table.find(key)) {
                    journal.note(kind, key, RecordDiff::between(*stored, record));
                }
                table.put(key, std::move(record));
            }
        }
        if (taken < kTakeBatch) {
            return RETCODE_OK;
        }
    }
}

// The GUIDs of every participant this process has in the domain, whoever created it.
bool processParticipants(DomainId_t domainId, std::unordered_set<GuidKey, GuidKey::Hash>& keys)
{
    std::vector<dds_entity_t> participants(8);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const dds_return_t found =
            dds_lookup_participant(domainId, participants.data(), participants.size());
        if (found < 0) {
            return false;
        }
        if (size_t(found) <= participants.size()) {
            for (dds_return_t i = 0; i < found; ++i) {
                dds_guid_t guid;
                if (dds_get_guid(participants[size_t(i)], &guid) == DDS_RETCODE_OK) {
                    keys.insert(GuidKey::fromBytes(guid.v));
                }
            }
            return true;
        }
        // More participants than room: Cyclone leaves the array undefined, so ask again.
        participants.resize(size_t(found) + 8);
    }
    return false;
}

template <typename Record>
ReturnCode_t copyRecord(const BuiltinTable<Record>& table, const InstanceHandle_t& handle,
                        Record& data)
{
    GuidKey key;
    if (!GuidKey::fromHandle(handle, key)) {
        return RETCODE_BAD_PARAMETER;
    }
    const Record* record = table.find(key);
    if (record == nullptr) {
        return RETCODE_BAD_PARAMETER;
    }
    data = *record;
    return RETCODE_OK;
}

template <typename Record>
ReturnCode_t shareRecord(const BuiltinTable<Record>& table, const InstanceHandle_t& handle,
                         std::shared_ptr<const Record>& data)
{
    GuidKey key;
    if (!GuidKey::fromHandle(handle, key)) {
        return RETCODE_BAD_PARAMETER;
    }
    std::shared_ptr<const Record> record = table.share(key);
    if (!record) {
        return RETCODE_BAD_PARAMETER;
    }
    data = std::move(record);
    return RETCODE_OK;
}

} // namespace

std::unique_ptr<CycloneDomainParticipant> CycloneDomainParticipant::create(DomainId_t domainId,
                                                                           const dds_qos_t* qos)
{
    // DDS_DOMAIN_DEFAULT would quietly pick the configured default domain, and the participant
    // would then report an id it is not in.
    if (domainId == DDS_DOMAIN_DEFAULT) {
        return nullptr;
    }
    const dds_entity_t participant = dds_create_participant(domainId, qos, nullptr);
    if (participant < 0) {
        return nullptr;
    }
    dds_guid_t guid;
    if (dds_get_guid(participant, &guid) != DDS_RETCODE_OK) {
        dds_delete(participant);
        return nullptr;
    }
    std::unique_ptr<CycloneDomainParticipant> result;
    try {
        result.reset(new CycloneDomainParticipant(domainId, participant,
                                                  GuidKey::fromBytes(guid.v).toHandle()));
    } catch (...) {
        dds_delete(participant);
        throw;
    }
    // From here the object owns the Cyclone participant and deletes it on failure.
    result->m_participantReader =
        dds_create_reader(participant, DDS_BUILTIN_TOPIC_DCPSPARTICIPANT, nullptr, nullptr);
    result->m_publicationReader =
        dds_create_reader(participant, DDS_BUILTIN_TOPIC_DCPSPUBLICATION, nullptr, nullptr);
    result->m_subscriptionReader =
        dds_create_reader(participant, DDS_BUILTIN_TOPIC_DCPSSUBSCRIPTION, nullptr, nullptr);
    if (result->m_participantReader < 0 || result->m_publicationReader < 0 ||
        result->m_subscriptionReader < 0) {
        return nullptr;
    }
    return result;
}

CycloneDomainParticipant::CycloneDomainParticipant(DomainId_t domainId, dds_entity_t participant,
                                                   const InstanceHandle_t& handle)
    : m_domainId(domainId), m_participant(participant), m_handle(handle)
{
}

CycloneDomainParticipant::~CycloneDomainParticipant()
{
    // Deleting the participant deletes the readers it still has.
    dds_delete(m_participant);
}

ReturnCode_t CycloneDomainParticipant::delete_contained_entities()
{
    return guarded([&] {
        std::lock_guard<std::mutex> lock(m_mutex);
        ReturnCode_t result = RETCODE_OK;
        for (dds_entity_t* reader :
             {&m_participantReader, &m_publicationReader, &m_subscriptionReader}) {
            if (*reader > 0 && dds_delete(*reader) != DDS_RETCODE_OK) {
                result = RETCODE_ERROR;
            }
            *reader = 0;
        }
        m_participants.clear();
        m_publications.clear();
        m_subscriptions.clear();
        m_changes.clear();
        return result;
    });
}

DomainId_t CycloneDomainParticipant::get_domain_id() const
{
    return m_domainId;
}

const InstanceHandle_t& CycloneDomainParticipant::get_instance_handle() const
{
    return m_handle;
}

ReturnCode_t CycloneDomainParticipant::takeParticipants()
{
    return takeInto<dds_builtintopic_participant_t>(
        m_participantReader, m_participants, toParticipantRecord,
        always<dds_builtintopic_participant_t>, RecordKind::Participant, m_changes);
}

ReturnCode_t CycloneDomainParticipant::takePublications()
{
    return takeInto<dds_builtintopic_endpoint_t>(
        m_publicationReader, m_publications, QosConversion::toPublication,
        always<dds_builtintopic_endpoint_t>, RecordKind::Publication, m_changes);
}

ReturnCode_t CycloneDomainParticipant::takeSubscriptions()
{
    return takeInto<dds_builtintopic_endpoint_t>(m_subscriptionReader, m_subscriptions,
                                                 QosConversion::toSubscription, isApplicationReader,
                                                 RecordKind::Subscription, m_changes);
}

ReturnCode_t
CycloneDomainParticipant::get_discovered_participants(InstanceHandleSeq& participant_handles)
{
    return guarded([&] {
        participant_handles.clear();
        std::lock_guard<std::mutex> lock(m_mutex);
        const ReturnCode_t result = takeParticipants();
        if (result != RETCODE_OK) {
            return result;
        }
        m_participants.appendHandles(participant_handles,
                                     [](const ParticipantBuiltinTopicData&) { return true; });
        return RETCODE_OK;
    });
}

ReturnCode_t
CycloneDomainParticipant::get_discovered_participant_data(ParticipantBuiltinTopicData& data,
                                                          const InstanceHandle_t& handle)
{
    return guarded([&] {
        std::lock_guard<std::mutex> lock(m_mutex);
        const ReturnCode_t result = takeParticipants();
        return result != RETCODE_OK ? result : copyRecord(m_participants, handle, data);
    });
}

template <typename Record>
ReturnCode_t CycloneDomainParticipant::listEndpoints(BuiltinTable<Record>& table,
                                                     InstanceHandleSeq& handles, bool includeOwn)
{
    if (includeOwn) {
        table.appendHandles(handles, [](const Record&) { return true; });
        return RETCODE_OK;
    }
    std::unordered_set<GuidKey, GuidKey::Hash> own;
    if (!processParticipants(m_domainId, own)) {
        return RETCODE_ERROR;
    }
    table.appendHandles(handles, [&own](const Record& record) {
        return own.count(GuidKey::fromBytes(record.participant_key.value)) == 0;
    });
    return RETCODE_OK;
}

ReturnCode_t CycloneDomainParticipant::get_publications(InstanceHandleSeq& publication_handles,
                                                        bool include_contained_entities)
{
    return guarded([&] {
        publication_handles.clear();
        std::lock_guard<std::mutex> lock(m_mutex);
        const ReturnCode_t result = takePublications();
        if (result != RETCODE_OK) {
            return result;
        }
        return listEndpoints(m_publications, publication_handles, include_contained_entities);
    });
}

ReturnCode_t CycloneDomainParticipant::get_publication_data(PublicationBuiltinTopicData& data,
                                                            const InstanceHandle_t& handle)
{
    return guarded([&] {
        std::lock_guard<std::mutex> lock(m_mutex);
        const ReturnCode_t result = takePublications();
        return result != RETCODE_OK ? result : copyRecord(m_publications, handle, data);
    });
}

ReturnCode_t CycloneDomainParticipant::get_subscriptions(InstanceHandleSeq& subscription_handles,
                                                         bool include_contained_entities)
{
    return guarded([&] {
        subscription_handles.clear();
        std::lock_guard<std::mutex> lock(m_mutex);
        const ReturnCode_t result = takeSubscriptions();
        if (result != RETCODE_OK) {
            return result;
        }
        return listEndpoints(m_subscriptions, subscription_handles, include_contained_entities);
    });
}

ReturnCode_t CycloneDomainParticipant::get_subscription_data(SubscriptionBuiltinTopicData& data,
                                                             const InstanceHandle_t& handle)
{
    return guarded([&] {
        std::lock_guard<std::mutex> lock(m_mutex);
        const ReturnCode_t result = takeSubscriptions();
        return result != RETCODE_OK ? result : copyRecord(m_subscriptions, handle, data);
    });
}

ReturnCode_t CycloneDomainParticipant::get_discovered_participant_record(
    std::shared_ptr<const ParticipantBuiltinTopicData>& data, const InstanceHandle_t& handle)
{
    return guarded([&] {
        std::lock_guard<std::mutex> lock(m_mutex);
        const ReturnCode_t result = takeParticipants();
        return result != RETCODE_OK ? result : shareRecord(m_participants, handle, data);
    });
}

ReturnCode_t CycloneDomainParticipant::get_publication_record(
    std::shared_ptr<const PublicationBuiltinTopicData>& data, const InstanceHandle_t& handle)
{
    return guarded([&] {
        std::lock_guard<std::mutex> lock(m_mutex);
        const ReturnCode_t result = takePublications();
        return result != RETCODE_OK ? result : shareRecord(m_publications, handle, data);
    });
}

ReturnCode_t CycloneDomainParticipant::get_subscription_record(
    std::shared_ptr<const SubscriptionBuiltinTopicData>& data, const InstanceHandle_t& handle)
{
    return guarded([&] {
        std::lock_guard<std::mutex> lock(m_mutex);
        const ReturnCode_t result = takeSubscriptions();
        return result != RETCODE_OK ? result : shareRecord(m_subscriptions, handle, data);
    });
}

ReturnCode_t CycloneDomainParticipant::take_record_changes(RecordChangeSeq& changes)
{
    return guarded([&] {
        changes.clear();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_changes.takeAll(changes);
        return RETCODE_OK;
    });
}

ReturnCode_t CycloneDomainParticipant::attachReadConditions(dds_entity_t waitset,
                                                            std::vector<dds_entity_t>& conditions)
{
    conditions.clear();
    std::lock_guard<std::mutex> lock(m_mutex);
    for (dds_entity_t reader : {m_participantReader, m_publicationReader, m_subscriptionReader}) {
        if (reader <= 0) {
            return RETCODE_PRECONDITION_NOT_MET;
        }
    }
    for (dds_entity_t reader : {m_participantReader, m_publicationReader, m_subscriptionReader}) {
        // Any sample at all: the queries take everything, so a sample left is one not seen.
        const dds_entity_t condition = dds_create_readcondition(reader, DDS_ANY_STATE);
        if (condition < 0 || dds_waitset_attach(waitset, condition, 0) != DDS_RETCODE_OK) {
            if (condition > 0) {
                dds_delete(condition);
            }
            for (dds_entity_t attached : conditions) {
                dds_waitset_detach(waitset, attached);
                dds_delete(attached);
            }
            conditions.clear();
            return RETCODE_ERROR;
        }
        conditions.push_back(condition);
    }
    return RETCODE_OK;
}

} // namespace ZORVAN
