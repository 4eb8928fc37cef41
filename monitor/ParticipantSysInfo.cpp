#include "ParticipantSysInfo.h"

#include <QString>
#include <QTextCodec>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// The standard unsigned conversion (leading blanks and a sign allowed, stops at the first
// non-digit), keeping `fallback` when the text holds no number or is out of range.
uint32_t parsePid(const std::string& text, uint32_t fallback)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(begin, &end, 10);
    if (end == begin || errno == ERANGE) {
        return fallback;
    }
    return static_cast<uint32_t>(value);
}

std::string fileNamePart(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void readSysInfo(const ZORVAN::ParticipantBuiltinTopicData& data, ParticipantSysInfo& info)
{
    std::memcpy(info.key, data.key.value, sizeof(info.key));
    info.userData = data.user_data.value;
    bool ipAnnounced = false;
    for (const ZORVAN::Property_t& property : data.property.value) {
        const std::string& name = property.name;
        const std::string& value = property.value;
        if (name == "dds.sys_info.hostname") {
            info.hostName = value;
        } else if (name == "dds.sys_info.process_id") {
            info.pid = parsePid(value, info.pid);
        } else if (name == "dds.sys_info.username") {
            info.userName = toUtf8Text(value);
        } else if (name == "dds.sys_info.executable_filepath") {
            info.executablePath = toUtf8Text(value);
            info.processName = toUtf8Text(fileNamePart(value));
        } else if (name == "dds.sys_info.target") {
            info.target = value;
        } else if (name == "dds.sys_info.creation_timestamp") {
            info.creationTimestamp = value;
        } else if (name == "dds.sys_info.execution_timestamp") {
            info.executionTimestamp = value;
        } else if (name == "dds.sys_info.ip") {
            // The first announced address replaces the default; an announced 127.0.0.1 is an
            // address like any other and is kept.
            if (ipAnnounced && !info.ips.empty()) {
                info.ips += ',';
                info.ips += value;
            } else {
                info.ips = value;
            }
            ipAnnounced = true;
        }
    }
}

std::string toUtf8Text(const char* bytes, size_t length)
{
    if (!bytes) {
        return std::string();
    }
    const size_t terminated = strnlen(bytes, length);
    const QString utf8 = QString::fromUtf8(bytes, int(terminated));
    if (!utf8.isEmpty() && !utf8.contains(QChar::ReplacementCharacter)) {
        return utf8.toStdString();
    }
    if (QTextCodec* gbk = QTextCodec::codecForName("GBK")) {
        const QString text = gbk->toUnicode(bytes, int(length));
        if (!text.isEmpty()) {
            return text.toStdString();
        }
    }
    const QString local = QString::fromLocal8Bit(bytes, int(terminated));
    if (!local.isEmpty()) {
        return local.toStdString();
    }
    return QString::fromLatin1(bytes, int(terminated)).toStdString();
}
