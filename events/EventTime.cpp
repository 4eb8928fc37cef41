#include "EventTime.h"

#include <QDate>
#include <QDateTime>
#include <cstdio>
#include <cstdlib>

namespace {

struct Fields
{
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
    int ms;
};

// Floor division, so that times before 1970 land on the right day.
int64_t floorDiv(int64_t a, int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

Fields localFields(const EventStamp& stamp)
{
    const int64_t local = stamp.epochMs + int64_t(stamp.utcOffsetS) * 1000;
    const int64_t msPerDay = 86400000;
    const int64_t days = floorDiv(local, msPerDay);
    int64_t ofDay = local - days * msPerDay;
    // 2440588 is the Julian day of 1970-01-01.
    const QDate date = QDate::fromJulianDay(days + 2440588);
    Fields f{date.year(), date.month(), date.day(), 0, 0, 0, 0};
    f.ms = int(ofDay % 1000);
    ofDay /= 1000;
    f.second = int(ofDay % 60);
    ofDay /= 60;
    f.minute = int(ofDay % 60);
    f.hour = int(ofDay / 60);
    return f;
}

} // namespace

namespace EventTime {

EventStamp now()
{
    const QDateTime local = QDateTime::currentDateTime();
    return EventStamp{local.toMSecsSinceEpoch(), local.offsetFromUtc()};
}

QString iso(const EventStamp& stamp)
{
    const Fields f = localFields(stamp);
    const int offsetMin = std::abs(stamp.utcOffsetS) / 60;
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", f.year,
                  f.month, f.day, f.hour, f.minute, f.second, f.ms,
                  stamp.utcOffsetS < 0 ? '-' : '+', offsetMin / 60, offsetMin % 60);
    return QString::fromLatin1(text);
}

QString shown(const EventStamp& stamp)
{
    const Fields f = localFields(stamp);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", f.year, f.month, f.day,
                  f.hour, f.minute, f.second, f.ms);
    return QString::fromLatin1(text);
}

QString clock(const EventStamp& stamp)
{
    const Fields f = localFields(stamp);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", f.hour, f.minute, f.second);
    return QString::fromLatin1(text);
}

} // namespace EventTime
