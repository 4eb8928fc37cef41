// Prints the results of several runs (one per size) side by side as a Markdown table: median
// and spread per size, the ratio to the Cyclone floor, the growth from the smallest to the
// largest size against n log n, and the targets checked at the largest size.
#pragma once

#include <QJsonObject>
#include <QString>
#include <vector>

class ReportTable
{
public:
    static QString render(std::vector<QJsonObject> runs);
};
