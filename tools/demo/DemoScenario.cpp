#include "DemoScenario.h"

namespace {

std::vector<peerkit::Property> sysInfo(const std::string& host, const std::string& pid,
                                       const std::vector<std::string>& ips, const std::string& exe,
                                       const std::string& user)
{
    std::vector<peerkit::Property> props = {
        {"dds.sys_info.hostname", host},
        {"dds.sys_info.process_id", pid},
        {"dds.sys_info.executable_filepath", exe},
        {"dds.sys_info.username", user},
        {"dds.sys_info.target", "x86_64-linux-gnu"},
        {"dds.sys_info.creation_timestamp", "2024-05-06 08:00:00"},
        {"dds.sys_info.execution_timestamp", "2024-05-06 08:00:05"}};
    for (const std::string& ip : ips) {
        props.push_back({"dds.sys_info.ip", ip});
    }
    return props;
}

const char* const trackType = "demo::RadarTrack";
const char* const planType = "demo::FlightPlan";
const char* const weatherType = "demo::WeatherReport";
const char* const healthType = "demo::SystemHealth";
const char* const commandType = "demo::Command";

} // namespace

const std::vector<DemoParticipant>& demoScenario()
{
    static const std::vector<DemoParticipant> scenario = {
        {"radar",
         sysInfo("radar-01", "1201", {"10.10.0.11"}, "/opt/atc/bin/radar_server", "radar"),
         "radar station north",
         {{true, "RadarTrack", trackType,
           "reliability=reliable:0.2;durability=transient_local;deadline=1;"
           "partition=SectorA|SectorB;history=keep_last:10;destination=source"},
          {true, "SystemHealth", healthType, "reliability=reliable;durability=volatile"}}},
        {"planner",
         sysInfo("fdp-server", "2202", {"10.10.0.21", "10.20.0.21"}, "/opt/atc/bin/flight_planner",
                 "planner"),
         "",
         {{true, "FlightPlan", planType,
           "reliability=reliable;durability=transient_local;ownership=exclusive:10;"
           "liveliness=manual_by_participant:10;userdata=primary"},
          {false, "RadarTrack", trackType,
           "reliability=reliable;durability=volatile;deadline=2;partition=SectorA"}}},
        {"weather",
         sysInfo("wx-station", "3303", {"10.10.0.31"}, "/opt/wx/weather_feed", "wx"),
         "",
         {{true, "WeatherReport", weatherType,
           "reliability=best_effort;durability=volatile;lifespan=30;latency=0.5"},
          {true, "SystemHealth", healthType, "reliability=reliable;durability=volatile"}}},
        {"display",
         sysInfo("console", "4404", {"10.10.0.41"}, "/usr/local/bin/atc_display",
                 "\xe5\x80\xbc\xe7\x8f\xad\xe5\x91\x98"), // 值班员 (duty operator), UTF-8
         "",
         {{false, "RadarTrack", trackType,
           "reliability=reliable;deadline=2;partition=SectorA|SectorB"},
          {false, "FlightPlan", planType,
           "reliability=reliable;durability=transient_local;ownership=exclusive"},
          {false, "WeatherReport", weatherType, "reliability=reliable"},
          {false, "Command", commandType, "reliability=reliable;presentation=topic:coherent"}}},
        {"logger",
         sysInfo("console", "4405", {"10.10.0.41"}, "/usr/local/bin/atc_logger", "ops"),
         "",
         {{false, "SystemHealth", healthType,
           "reliability=reliable;durability=transient_local;history=keep_all"},
          {false, "Command", commandType, "reliability=best_effort"}}},
        {"backup",
         {},
         "backup planner",
         {{true, "FlightPlan", planType,
           "reliability=reliable;durability=transient_local;ownership=exclusive:5;"
           "userdata=backup"}}},
    };
    return scenario;
}
