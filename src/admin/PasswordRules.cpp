#include "PasswordRules.h"

#include "QirvoError.h"
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

void PasswordRules::setModifyPassword(const QString& password)
{
    QString failure;
    if (!UpdateTwoFields(u"Parameter"_s, modifyRow(), u"ParameterName"_s, ModifyParameter,
                         u"ParameterValue"_s, password, &failure))
        throw QirvoError(u"单据修改密码没有设置成功：%1"_s.arg(failure));
}

void PasswordRules::setLoginPassword(const QString& name, const QString& password)
{
    QString failure;
    if (!UpdateTwoFields(u"Power"_s, account(name), u"PowerName"_s, name, u"PowerKey"_s, password, &failure))
        throw QirvoError(u"登录密码没有设置成功：%1"_s.arg(failure));
}

QString PasswordRules::loginPassword(const QString& name)
{
    return VariantToText(LookupFieldValue(u"Power"_s, u"PowerKey"_s, account(name)));
}
