#include "RosterRules.h"

#include "Query.h"
#include "ShareDM.h"
#include "ShareDMUnit.h"

using namespace Qt::StringLiterals;

bool RosterRules::nameTaken(const QString& name)
{
    Query& users = ShareDM->ADOQueryTemp1;
    OpenQuery(users, u"Select * from [User] where UserName=?"_s, {name});
    return users.recordCount() > 0;
}

QStringList RosterRules::workTypeNames()
{
    Query& names = ShareDM->ADOQueryTemp1;
    OpenQuery(names, u"Select Distinct CounterName from [Counter]"_s);
    QStringList result;
    for (int row = 0; row < names.recordCount(); ++row)
        result << VariantToText(names.value(row, 0));
    return result;
}
