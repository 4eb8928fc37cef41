// The "dds.sys_info.*" properties through which a participant tells monitors where it runs,
// written compactly as "host=h1,pid=42,exe=/usr/bin/radar,user=ops,ip=10.0.0.1,ip=10.0.0.2".
//
// Keys (each may repeat; every occurrence becomes one property, in the order given):
//   host     -> dds.sys_info.hostname            pid      -> dds.sys_info.process_id
//   exe      -> dds.sys_info.executable_filepath user     -> dds.sys_info.username
//   ip       -> dds.sys_info.ip                  target   -> dds.sys_info.target
//   created  -> dds.sys_info.creation_timestamp  executed -> dds.sys_info.execution_timestamp
// Items are separated by ","; a backslash makes the next character literal ("exe=/a\,b").
#pragma once

#include "Property.h"

#include <string>
#include <vector>

namespace peerkit {

class SysInfoLine
{
public:
    // Appends the properties `text` names to `out`. On a malformed text returns false, leaves
    // `out` as it was and says what is wrong in `error`.
    static bool parse(const std::string& text, std::vector<Property>& out, std::string& error);
};

} // namespace peerkit
