#pragma once

#include <QColor>
#include <QFont>
#include <QPushButton>
#include <QRect>
#include <QString>

// The look of the window: a fixed layout measured in twips, Japanese fonts
// sized in pixels, and the colours of its headings and boxes.
namespace formstyle {

// The window was laid out in twips, 15 to a pixel.
inline QRect twips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

// Font sizes in pixels at 96 dpi, so every text fits the fixed layout whatever
// the screen's font settings.
constexpr int Small = 13;  // 9.75 points
constexpr int Medium = 15; // 11.25 points
constexpr int Large = 16;  // 12 points

// The proportional Japanese UI font, with the fonts a Linux desktop has in its place.
QFont uiGothic(int pixels, bool bold = false);
// The fixed-pitch Japanese font of the boxes, the clock and the lists.
QFont fixedGothic(int pixels);
// The serif font of the version line.
QFont versionSerif(int pixels);

// Wherever a background is fixed, so is the text colour, so that a dark
// desktop theme does not put light text on it.
const QString HeadingStyle = QStringLiteral("background-color:#CCDDFF; color:#000000; border:1px solid #7F7F7F;");
const QString SettingsBoxStyle = QStringLiteral("background-color:#E0E0E0; color:#000000;");
const QString StatusStyle = QStringLiteral("background-color:#E0E0E0; color:#000000; border:1px solid #7F7F7F;");
const QString BannerStyle = QStringLiteral("background-color:#C8E6FF; color:#000000;");
// The list that drops down takes the box's colours.
const QString ComboStyle = QStringLiteral("QComboBox { background-color:#FFFFDD; color:#000000; }");

// Texts coloured on the window's own background: Sunday, Saturday, the version.
const QColor SundayColour(0x80, 0x00, 0x00);
const QColor SaturdayColour(0x00, 0x00, 0xFF);
const QColor VersionColour(0x50, 0x77, 0xAA);

// The contrast ratio of two colours as WCAG 2 defines it, from 1 to 21.
double contrastRatio(const QColor& a, const QColor& b);
// The least contrast a text needs against its background (WCAG AA).
constexpr double ReadableContrast = 4.5;
// `wanted`, made darker or lighter only as far as it must be to stand out
// from `background` by ReadableContrast.
QColor readableOn(const QColor& wanted, const QColor& background);

} // namespace formstyle

// A button whose caption breaks at its blanks when it does not fit on one
// line, as "MACアドレス 取得" must on its two-line button.
class WrappingButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};
