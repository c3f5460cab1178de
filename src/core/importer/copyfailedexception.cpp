#include "importer/copyfailedexception.h"

CopyFailedException::CopyFailedException(const QString& reason)
    : failureReason(reason), utf8Reason(reason.toUtf8())
{
}
