// The host and process identity other DDS implementations announce under property names of
// their own, translated into the "dds.sys_info.*" properties the monitor reads, so a peer that
// does not speak this system's convention still shows its real host and process.
#pragma once

#include "ZorvanQos.h"

#include <string>
#include <vector>

namespace ZORVAN {

class VendorIdentity
{
public:
    // When `properties` holds no "dds.sys_info." property at all but holds a host, process or
    // user identity in a vendor's own form, appends the equivalents, in this order:
    //   dds.sys_info.hostname            "__Hostname", else "fastdds.physical_data.host" (a
    //                                    trailing ":<digits>" removed)
    //   dds.sys_info.process_id          "__Pid", else "fastdds.physical_data.process"
    //                                    (decimal process ids only)
    //   dds.sys_info.username            "fastdds.physical_data.user"
    //   dds.sys_info.executable_filepath "__ProcessName"
    //   dds.sys_info.ip                  one per distinct address in "__NetworkAddresses"
    // Of a name given more than once the last usable value counts; empty values are not
    // usable. The addresses alone never trigger the translation: Cyclone lists them for every
    // peer it reaches, so they are not the peer's own announcement. The added properties are
    // marked not propagated, since the peer never sent them.
    static void addSysInfo(std::vector<Property_t>& properties);

    // The host name in "fastdds.physical_data.host": the value without a trailing ":" and
    // decimal digits, which is not part of the host's name.
    static std::string fastDdsHostName(const std::string& value);
    // A process id as both implementations write it: decimal digits only, within 32 bits.
    static bool isProcessId(const std::string& value);
    // The IP addresses in Cyclone's "__NetworkAddresses", a comma-separated list of locators
    // "<kind>/<address>:<port>@<interface index>" ("udp/127.0.0.1:7410@1", IPv6 addresses in
    // brackets), in list order without repetitions. Entries that hold no address ("localprocess"
    // for participants of the observing process) give nothing.
    static std::vector<std::string> networkAddresses(const std::string& value);
};

} // namespace ZORVAN
