#pragma once

#include <QDate>
#include <QString>

// A reward or punishment as its editor shows it: the amount without sign, the kind apart.
struct RewardFields
{
    QString user;
    QDate date;
    QString reason;
    double amount = 0;
    bool punishment = false;
    QString remark;
};

// Rows of jcheng; the sign of jchengSum carries the kind (a punishment is stored negated).
class RewardStore
{
public:
    // Throws QirvoError when the row is gone.
    static RewardFields load(int index);
    static void add(const RewardFields& fields);
    static void change(int index, const RewardFields& fields);
    // Throws QirvoError when nothing was deleted.
    static void remove(int index);
    static double storedAmount(const RewardFields& fields);
};
