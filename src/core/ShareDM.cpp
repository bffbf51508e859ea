#include "ShareDM.h"

TShareDM* ShareDM = nullptr;

TShareDM::TShareDM(QObject* parent)
    : QObject(parent), ADOQueryTemp1(ADOConnection1, this), ADOQueryTemp2(ADOConnection1, this),
      ADOQueryLookup(ADOConnection1, this)
{
    setObjectName(QStringLiteral("ShareDM"));
    ADOQueryTemp1.setObjectName(QStringLiteral("ADOQueryTemp1"));
    ADOQueryTemp2.setObjectName(QStringLiteral("ADOQueryTemp2"));
    ADOQueryLookup.setObjectName(QStringLiteral("ADOQueryLookup"));
    ShareDM = this;
}

TShareDM::~TShareDM()
{
    ADOQueryTemp1.close();
    ADOQueryTemp2.close();
    ADOQueryLookup.close();
    if (ShareDM == this)
        ShareDM = nullptr;
}
