#pragma once

#include <QDate>

#include <optional>

// "Today" for the whole program; tests pin it to a fixed day.
class Clock
{
public:
    static QDate today();
    static void setToday(std::optional<QDate> day);

private:
    static std::optional<QDate> s_today;
};
