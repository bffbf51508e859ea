#include "EntryStore.h"

#include "Connection.h"
#include "Query.h"
#include "Rounding.h"
#include "RowWrites.h"
#include "ShareDM.h"
#include "ShareDMUnit.h"
#include "Transaction.h"

using namespace Qt::StringLiterals;

namespace {

Query& temp()
{
    return ShareDM->ADOQueryTemp1;
}

std::optional<WorkTypeMatch> firstWorkType(const QString& sql, const QVariantList& params)
{
    OpenQuery(temp(), sql, params);
    if (temp().recordCount() == 0)
        return std::nullopt;
    temp().first();
    return WorkTypeMatch{
        temp().value(u"CounterIndex"_s).toInt(), VariantToText(temp().value(u"CounterSerial"_s)),
        VariantToText(temp().value(u"CounterName"_s)), VariantToText(temp().value(u"CounterUnit"_s))};
}

void write(Query& row, const EntryFields& fields)
{
    row.setValue(u"RecordSerial"_s, fields.serial);
    row.setValue(u"RecordUser"_s, fields.user);
    row.setValue(u"RecordCounter"_s, fields.counter);
    row.setValue(u"RecordPrice"_s, fields.price);
    row.setValue(u"RecordNumber"_s, fields.number);
    row.setValue(u"RecordSum"_s, fields.amount);
    row.setValue(u"RecordRecordDate"_s, fields.date);
    row.setValue(u"RecordSystemDate"_s, fields.date);
    row.setValue(u"RecordRemark"_s, fields.remark);
    PostOrCancel(row);
}

} // namespace

QString EntryStore::proposedSerial()
{
    return NextSerial(VariantToText(LookupFieldValue(
        u"RecordTable"_s, u"RecordSerial"_s,
        Condition(u"RecordIndex in (Select Max(RecordIndex) as maxIndex from RecordTable)"_s))));
}

double EntryStore::amount(double price, double pieces)
{
    return roundHalfEven(price * pieces, 3);
}

std::optional<WorkTypeMatch> EntryStore::workTypeBySerial(const QString& serial)
{
    return firstWorkType(u"select * from [Counter] where CounterSerial=?"_s, {serial});
}

std::optional<WorkTypeMatch> EntryStore::workTypeByName(const QString& name)
{
    return firstWorkType(u"select * from [Counter] where CounterName=?"_s, {name});
}

std::optional<WorkTypeMatch> EntryStore::workTypeOfWorker(const QString& user)
{
    return firstWorkType(u"select * from [Counter],[User] where UserCounterName=CounterName and UserName=?"_s,
                         {user});
}

bool EntryStore::hasEntryOn(const QString& user, const QDate& date)
{
    return LookupFieldValue(u"RecordTable"_s, u"RecordUser"_s,
                            Condition(u"RecordRecordDate=? and RecordUser=?"_s, {date, user}))
        .isValid();
}

void EntryStore::openEntry(int index)
{
    OpenRow(temp(),
            u"Select * from RecordTable,[Counter] where CounterIndex=RecordCounter and  RecordIndex=?"_s,
            {index}, u"该记录已不存在，可能已被删除。"_s);
}

void EntryStore::add(const EntryFields& fields)
{
    AppendRow(temp(), u"RecordTable"_s);
    write(temp(), fields);
}

bool EntryStore::addIfDayFree(const EntryFields& fields)
{
    Connection& connection = ShareDM->ADOConnection1;
    Transaction transaction(connection);
    connection.claim(u"entry day %1 %2"_s.arg(fields.date.toString(Qt::ISODate), fields.user.toCaseFolded()));
    if (hasEntryOn(fields.user, fields.date))
        return false;
    add(fields);
    transaction.commit();
    return true;
}

void EntryStore::change(int index, const EntryFields& fields)
{
    EditRow(temp(), u"Select * from RecordTable where RecordIndex=?"_s, {index},
            u"该记录已不存在，可能已被删除，修改未保存。"_s);
    write(temp(), fields);
}

void EntryStore::remove(int index)
{
    ChangeRows(temp(), u"delete from RecordTable where RecordIndex=?"_s, {index}, u"删除记录失败"_s,
               u"该记录已不存在，没有删除任何记录。"_s);
}
