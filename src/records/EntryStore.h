#pragma once

#include <QDate>
#include <QString>

#include <optional>

// One piece-work entry as the entry form shows and saves it.
struct EntryFields
{
    QString serial;
    QString user;
    int counter = 0;
    double price = 0;
    double number = 0;
    double amount = 0;
    QDate date;
    QString remark;
};

struct WorkTypeMatch
{
    int index = 0;
    QString serial;
    QString name;
    QString unit;
};

// Entries of RecordTable and the look-ups the entry form makes.
class EntryStore
{
public:
    // The bill number after the newest entry's (the one added last), empty when there is none.
    static QString proposedSerial();
    // price × pieces to 3 decimals, ties to even.
    static double amount(double price, double pieces);

    static std::optional<WorkTypeMatch> workTypeBySerial(const QString& serial);
    static std::optional<WorkTypeMatch> workTypeByName(const QString& name);
    static std::optional<WorkTypeMatch> workTypeOfWorker(const QString& user);

    static bool hasEntryOn(const QString& user, const QDate& date);

    // The entry joined with its work type, for the form and for the bill (left in ADOQueryTemp1).
    // Throws QirvoError when the entry is gone.
    static void openEntry(int index);

    // Writes the entry in one statement: a new row, or the stored row index.
    static void add(const EntryFields& fields);
    // Adds the entry unless the worker has one on that day already (false then, nothing written).
    // The check and the write are one step for every workstation on the database.
    static bool addIfDayFree(const EntryFields& fields);
    static void change(int index, const EntryFields& fields);
    // Throws QirvoError when nothing was deleted.
    static void remove(int index);
};
