#pragma once

#include <QtGlobal>

// The base of every record class: the row's id.
class BaseEntity
{
public:
    BaseEntity() = default;
    virtual ~BaseEntity() = default;
    BaseEntity(const BaseEntity&) = default;
    BaseEntity& operator=(const BaseEntity&) = default;

    qint64 recordId() const { return id; }
    void setRecordId(qint64 value) { id = value; }

private:
    qint64 id = 0;
};
