#include "PasswordRules.h"

#include "ShareDMUnit.h"

using namespace Qt::StringLiterals;

namespace {

const QString ModifyParameter = u"修改"_s;

Condition modifyRow()
{
    return Condition(u"ParameterName=?"_s, {ModifyParameter});
}

Condition account(const QString& name)
{
    return Condition(u"PowerName=?"_s, {name});
}

} // namespace

QString PasswordRules::modifyPassword()
{
    return VariantToText(LookupFieldValue(u"Parameter"_s, u"ParameterValue"_s, modifyRow()));
}

bool PasswordRules::modifyPasswordMatches(const QString& typed)
{
    return modifyPassword() == typed;
}

bool PasswordRules::setModifyPassword(const QString& password)
{
    return UpdateTwoFields(u"Parameter"_s, modifyRow(), u"ParameterName"_s, ModifyParameter,
                           u"ParameterValue"_s, password);
}

bool PasswordRules::setLoginPassword(const QString& name, const QString& password)
{
    return UpdateTwoFields(u"Power"_s, account(name), u"PowerName"_s, name, u"PowerKey"_s, password);
}

QString PasswordRules::loginPassword(const QString& name)
{
    return VariantToText(LookupFieldValue(u"Power"_s, u"PowerKey"_s, account(name)));
}
