#include "SearchFilter.h"

using namespace Qt::StringLiterals;

Condition BuildFilter(const SearchChoices& choices)
{
    Condition filter;
    // The names that contain the text are found first, one index step per distinct name, so that the
    // entries are then read through the (worker, date) index instead of by a scan of every entry.
    if (choices.worker != AllChoice)
        filter.append(
            u" and RecordUser in (with recursive Names(Name) as (select min(RecordUser) from RecordTable "
            u"union all select (select min(RecordUser) from RecordTable where RecordUser > Name) from Names "
            u"where Name is not null) select Name from Names where InStr(Name,?)>0)"_s,
            {choices.worker});
    if (choices.dateRange)
        filter.append(u" and RecordRecordDate between ? and ?"_s, {choices.start, choices.end});
    if (!choices.serial.isEmpty())
        filter.append(u" and InStr(RecordSerial,?)>0"_s, {choices.serial});
    if (choices.workType != AllChoice)
        filter.append(u" and InStr(CounterName,?)>0"_s, {choices.workType});
    return filter;
}

QString DayListSql()
{
    return u"Select * from RecordTable,[Counter] where RecordCounter=CounterIndex and RecordRecordDate=?"_s;
}

QString SearchResultSql(const Condition& filter)
{
    return u"Select * from RecordTable,[Counter] where RecordCounter=CounterIndex"_s + filter.text +
           u" Order By RecordRecordDate"_s;
}

QString StatisticsSql(const Condition& filter)
{
    // Walking the worker index, which holds every column summed, groups the rows without a sort; left
    // to itself the planner would take the date index and sort a year's entries by worker.
    return u"Select * from (SELECT RecordUser, Sum(RecordNumber) AS TotalNumber, Sum(RecordSum) AS TotalSum "
           u"FROM RecordTable indexed by RecordByUserDateCovered,[Counter] where RecordCounter=CounterIndex "
           u"%1 GROUP BY RecordUser) as t1 left "
           u"join "
           u"(Select * from [User]) as t2 on t1.RecordUser=t2.UserName"_s.arg(filter.text);
}
