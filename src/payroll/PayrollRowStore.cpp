#include "PayrollRowStore.h"

#include "Query.h"
#include "RowWrites.h"
#include "ShareDM.h"
#include "ShareDMUnit.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const QString RowSql = u"select * from Payfor where PayforIndex=?"_s;
const QString GoneMessage = u"该工资记录已不存在，可能已被删除。"_s;

Query& temp()
{
    return ShareDM->ADOQueryTemp1;
}

} // namespace

double ValueOrZero(const QVariant& value)
{
    return value.isValid() && !value.isNull() ? value.toDouble() : 0.0;
}

PayrollRowFields PayrollRowStore::load(int index)
{
    OpenRow(temp(), RowSql, {index}, GoneMessage);
    const Query& row = temp();
    return {VariantToText(row.value(u"payforUser"_s)), ValueOrZero(row.value(u"payforBase"_s)),
            ValueOrZero(row.value(u"payforjli"_s)),    std::abs(ValueOrZero(row.value(u"payforcfa"_s))),
            ValueOrZero(row.value(u"payforjjian"_s)),  ValueOrZero(row.value(u"payforSum"_s))};
}

void PayrollRowStore::save(int index, const PayrollRowFields& fields)
{
    Query& row = temp();
    EditRow(row, RowSql, {index}, GoneMessage);
    row.setValue(u"payforUser"_s, fields.user);
    row.setValue(u"payforBase"_s, fields.base);
    row.setValue(u"payforjli"_s, fields.rewards);
    row.setValue(u"payforcfa"_s, -fields.punishments);
    row.setValue(u"payforjjian"_s, fields.pieceWork);
    row.setValue(u"payforSum"_s, fields.total);
    PostOrCancel(row);
}

void PayrollRowStore::withdraw(int index)
{
    ChangeRows(temp(), u"update Payfor set PayforEnable=False where PayforIndex=?"_s, {index},
               u"撤销工资记录失败"_s, u"该工资记录已不存在，没有撤销任何记录。"_s);
}

double PayrollRowStore::total(double base, double rewards, double pieceWork, double punishments)
{
    return base + rewards + pieceWork - punishments;
}
