#include "LoginCheck.h"

#include "ShareDM.h"
#include "ShareDMUnit.h"

using namespace Qt::StringLiterals;

LoginOutcome CheckLogin(const QString& account, const QString& password)
{
    Query& power = ShareDM->ADOQueryTemp2;
    OpenQuery(power, u"Select * from Power where PowerName=?"_s, {account});
    if (power.recordCount() == 0)
        return LoginOutcome::NoSuchAccount;
    power.first();
    const QString stored = VariantToText(power.value(u"PowerKey"_s));
    return stored == password ? LoginOutcome::Accepted : LoginOutcome::WrongPassword;
}

bool AccountMayManage(const QString& account)
{
    return LookupFieldValue(u"Power"_s, u"PowerSet"_s, Condition(u"PowerName=?"_s, {account})).toBool();
}
