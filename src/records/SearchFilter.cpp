#include "SearchFilter.h"

using namespace Qt::StringLiterals;

Condition BuildFilter(const SearchChoices& choices)
{
    Condition filter;
    if (choices.worker != AllChoice)
        filter.append(u" and InStr(RecordUser,?)"_s, {choices.worker});
    if (choices.dateRange)
        filter.append(u" and RecordRecordDate between ? and ?"_s, {choices.start, choices.end});
    if (!choices.serial.isEmpty())
        filter.append(u" and InStr(RecordSerial,?)"_s, {choices.serial});
    if (choices.workType != AllChoice)
        filter.append(u" and InStr(CounterName,?)"_s, {choices.workType});
    return filter;
}
