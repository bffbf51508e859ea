#include "WorkTypeStore.h"

#include "QirvoError.h"
#include "Query.h"
#include "RowWrites.h"
#include "ShareDM.h"
#include "ShareDMUnit.h"
#include "Transaction.h"

using namespace Qt::StringLiterals;

namespace {

const QString PlaceholderSerial = u"mark"_s;

Query& temp()
{
    return ShareDM->ADOQueryTemp1;
}

int deleteWorkType(int index)
{
    ExecOrThrow(temp(), u"delete from Price where PriceCounter=?"_s, {index}, u"删除工种的单价失败"_s);
    return ExecOrThrow(temp(), u"delete from [Counter] where CounterIndex=?"_s, {index}, u"删除工种失败"_s);
}

} // namespace

int WorkTypeStore::createPlaceholder()
{
    Query& counter = temp();
    counter.setSql(u"select * from [Counter] where 0=1"_s);
    counter.open();
    counter.append();
    counter.setValue(u"CounterSerial"_s, PlaceholderSerial);
    counter.post();
    return counter.value(u"CounterIndex"_s).toInt();
}

WorkTypeFields WorkTypeStore::load(int index)
{
    OpenQuery(temp(), u"select * from [Counter] where CounterIndex=?"_s, {index});
    if (temp().recordCount() == 0)
        throw QirvoError(u"该工种已不存在，可能已被删除。"_s);
    return {VariantToText(temp().value(u"CounterSerial"_s)), VariantToText(temp().value(u"CounterName"_s)),
            VariantToText(temp().value(u"CounterUnit"_s)), VariantToText(temp().value(u"CounterRemark"_s))};
}

QString WorkTypeStore::storedSerial(int index)
{
    return load(index).serial;
}

bool WorkTypeStore::serialTaken(const QString& serial)
{
    OpenQuery(temp(), u"select * from [Counter] where CounterSerial=?"_s, {serial});
    return temp().recordCount() > 0;
}

void WorkTypeStore::save(int index, const WorkTypeFields& fields, Query& prices)
{
    Transaction transaction(ShareDM->ADOConnection1);
    prices.applyUpdates();
    Query& counter = temp();
    EditRow(counter, u"select * from [Counter] where CounterIndex=?"_s, {index},
            u"该工种已不存在，可能已被删除。"_s);
    counter.setValue(u"CounterSerial"_s, fields.serial);
    counter.setValue(u"CounterName"_s, fields.name);
    counter.setValue(u"CounterUnit"_s, fields.unit);
    counter.setValue(u"CounterRemark"_s, fields.remark);
    PostOrCancel(counter);
    transaction.commit();
    prices.commitUpdates();
}

void WorkTypeStore::remove(int index)
{
    Transaction transaction(ShareDM->ADOConnection1);
    if (deleteWorkType(index) != 1)
        throw QirvoError(u"该工种已不存在，可能已被删除。"_s);
    transaction.commit();
}

void WorkTypeStore::discardPlaceholder(int index)
{
    Transaction transaction(ShareDM->ADOConnection1);
    deleteWorkType(index);
    transaction.commit();
}

void WorkTypeStore::removeStrayPlaceholders()
{
    const QString stray = u"CounterSerial=? and ifnull(CounterName, '')=''"_s;
    const QString failed = u"清理未完成的工种失败"_s;
    Transaction transaction(ShareDM->ADOConnection1);
    ExecOrThrow(temp(),
                u"delete from Price where PriceCounter in (select CounterIndex from [Counter] where "_s +
                    stray + u")"_s,
                {PlaceholderSerial}, failed);
    ExecOrThrow(temp(), u"delete from [Counter] where "_s + stray, {PlaceholderSerial}, failed);
    transaction.commit();
}
