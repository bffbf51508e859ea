#pragma once

#include <QString>
#include <QVariant>

// One payroll row as its editor shows it; the punishment without sign.
struct PayrollRowFields
{
    QString user;
    double base = 0;
    double rewards = 0;
    double punishments = 0;
    double pieceWork = 0;
    double total = 0;
};

// Stored payroll rows of Payfor.
class PayrollRowStore
{
public:
    // An empty amount reads as 0. Throws QirvoError when the row is gone.
    static PayrollRowFields load(int index);
    static void save(int index, const PayrollRowFields& fields);
    // Takes the row off the current payroll; it stays stored for the next generation.
    static void withdraw(int index);
    // base + rewards + piece-work − punishments, without rounding.
    static double total(double base, double rewards, double pieceWork, double punishments);
};

// 0 for an empty value, the number otherwise.
double ValueOrZero(const QVariant& value);
