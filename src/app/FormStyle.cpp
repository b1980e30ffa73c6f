#include "app/FormStyle.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace formstyle {

QFont uiGothic(int pixels, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic")});
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QFont fixedGothic(int pixels)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("VL Gothic")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(pixels);
    return font;
}

QFont versionSerif(int pixels)
{
    QFont font;
    font.setFamilies(
        {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

} // namespace formstyle

void WrappingButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    QString caption = option.text;
    option.text.clear();
    const QRect area = rect().adjusted(2, 1, -2, -1);
    if (fontMetrics().horizontalAdvance(caption) > area.width())
        caption.replace(u' ', u'\n');
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.setFont(font());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, caption);
}
