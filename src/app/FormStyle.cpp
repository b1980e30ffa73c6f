#include "app/FormStyle.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>
#include <cmath>

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

namespace {

double relativeLuminance(const QColor& colour)
{
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& wanted, const QColor& background)
{
    // Towards black on a light background, towards white on a dark one, keeping the hue.
    const bool darken = relativeLuminance(background) > 0.18;
    const QColor end = darken ? QColor(Qt::black) : QColor(Qt::white);
    QColor colour = wanted;
    for (int step = 1; step <= 20 && contrastRatio(colour, background) < ReadableContrast; ++step) {
        const double t = step / 20.0;
        colour = QColor::fromRgbF(float(wanted.redF() + (end.redF() - wanted.redF()) * t),
                                  float(wanted.greenF() + (end.greenF() - wanted.greenF()) * t),
                                  float(wanted.blueF() + (end.blueF() - wanted.blueF()) * t));
    }
    return colour;
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
