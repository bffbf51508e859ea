#include "RewardStore.h"

#include "Query.h"
#include "RowWrites.h"
#include "ShareDM.h"
#include "ShareDMUnit.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

Query& temp()
{
    return ShareDM->ADOQueryTemp1;
}

void write(Query& row, const RewardFields& fields)
{
    row.setValue(u"jchengUser"_s, fields.user);
    row.setValue(u"jchengDate"_s, fields.date);
    row.setValue(u"jchengReson"_s, fields.reason);
    row.setValue(u"jchengSum"_s, RewardStore::storedAmount(fields));
    row.setValue(u"jchengRemark"_s, fields.remark);
    PostOrCancel(row);
}

} // namespace

double RewardStore::storedAmount(const RewardFields& fields)
{
    return fields.punishment ? -fields.amount : fields.amount;
}

RewardFields RewardStore::load(int index)
{
    OpenRow(temp(), u"select * from jcheng where jchengIndex=?"_s, {index},
            u"该条奖惩已不存在，可能已被删除。"_s);
    const double stored = temp().value(u"jchengSum"_s).toDouble();
    return {VariantToText(temp().value(u"jchengUser"_s)),
            QDate::fromString(VariantToText(temp().value(u"jchengDate"_s)), Qt::ISODate),
            VariantToText(temp().value(u"jchengReson"_s)),
            std::abs(stored),
            !(stored > 0),
            VariantToText(temp().value(u"jchengRemark"_s))};
}

void RewardStore::add(const RewardFields& fields)
{
    AppendRow(temp(), u"jcheng"_s);
    write(temp(), fields);
}

void RewardStore::change(int index, const RewardFields& fields)
{
    EditRow(temp(), u"select * from jcheng where jchengIndex=?"_s, {index},
            u"该条奖惩已不存在，可能已被删除，修改未保存。"_s);
    write(temp(), fields);
}

void RewardStore::remove(int index)
{
    ChangeRows(temp(), u"delete from jcheng where jchengIndex=?"_s, {index}, u"删除奖惩失败"_s,
               u"该条奖惩已不存在，没有删除任何记录。"_s);
}
