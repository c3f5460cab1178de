#pragma once

#include <QString>

// What one look at the version list found.
struct UpdateCheckResult
{
    // No line of the list had the five fields (also when nothing was fetched).
    bool failed = false;
    // A line announces a version above the running one.
    bool newer = false;
    // The announced version's name, "(date)", "%.2f" version and download page;
    // all empty when nothing newer was found.
    QString name;
    QString date;
    QString version;
    QString address;

    bool operator==(const UpdateCheckResult&) const = default;
};
