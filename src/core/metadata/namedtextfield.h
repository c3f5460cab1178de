#pragma once

#include <QString>
#include <optional>

// One text field of a metadata record with its name, for code that walks every
// field of a record (the detailed view, the XML export).
template <typename Record> struct NamedTextField
{
    const char* name;
    std::optional<QString> Record::*member;
};
