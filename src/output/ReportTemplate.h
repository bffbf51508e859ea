#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// A report template as read from its text file (the format is described in frf/README).
struct ReportTemplate
{
    struct Line
    {
        Qt::Alignment align = Qt::AlignLeft;
        QString text;
        // Printed on the row of the line before it, at its own alignment.
        bool sharesRow = false;
    };
    struct Column
    {
        QString field;
        QString title;
        double widthMm = 20;
        Qt::Alignment align = Qt::AlignCenter;
        QString format;
    };

    QString name;
    QString dataset;
    QString title;
    bool landscape = false;
    double fontPt = 9;
    QList<Line> header;
    QList<Line> titleLines;
    QList<Column> columns;
    QList<Line> record;
    QHash<QString, QString> summaryCells;
    QList<Line> summary;
    QList<Line> footer;

    // Both throw QirvoError naming the template, the line and the fault.
    static ReportTemplate parse(const QString& text, const QString& name);
    static ReportTemplate load(const QString& path);

    // Every text of the template that may hold [expressions].
    QStringList expressionTexts() const;
};
