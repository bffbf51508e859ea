#pragma once

#include "Connection.h"
#include "Query.h"

#include <QObject>

// The shared data module: the one connection and the scratch queries every form may use.
class TShareDM : public QObject
{
    Q_OBJECT

public:
    explicit TShareDM(QObject* parent = nullptr);
    ~TShareDM() override;

    Connection ADOConnection1;
    Query ADOQueryTemp1;
    Query ADOQueryTemp2;
    // Private to the lookup routines of ShareDMUnit.
    Query ADOQueryLookup;
};

// The program's one instance; set while a TShareDM exists.
extern TShareDM* ShareDM;
