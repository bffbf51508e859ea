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
    return DistinctValues(u"[Counter]"_s, u"CounterName"_s);
}
