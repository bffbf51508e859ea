#include "TabIcons.h"

#include "ListControls.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPixmap>

using namespace Qt::StringLiterals;

QList<QIcon> BuildImageList()
{
    struct Picture
    {
        char16_t glyph;
        const char* colour;
    };
    static const Picture pictures[] = {
        {u'文', "#5b7db1"}, {u'表', "#6a9f58"}, {u'印', "#8c6bb1"}, {u'统', "#c0504d"}, {u'查', "#4f81bd"},
        {u'奖', "#e46c0a"}, {u'数', "#1f77b4"}, {u'设', "#7f7f7f"}, {u'工', "#9c6d3c"}, {u'参', "#2e8b57"},
        {u'备', "#3465a4"}, {u'员', "#d1495b"}, {u'恢', "#a40000"}, {u'资', "#c4a000"},
    };
    QList<QIcon> icons;
    for (const Picture& picture : pictures) {
        QPixmap pixmap(32, 32);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(QString::fromLatin1(picture.colour)));
        painter.drawRoundedRect(QRectF(1, 1, 30, 30), 7, 7);
        QFont font = FormFont();
        font.setPixelSize(20);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QString(QChar(picture.glyph)));
        icons << QIcon(pixmap);
    }
    return icons;
}
