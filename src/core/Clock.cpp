#include "Clock.h"

std::optional<QDate> Clock::s_today;

QDate Clock::today()
{
    return s_today.value_or(QDate::currentDate());
}

void Clock::setToday(std::optional<QDate> day)
{
    s_today = day;
}
