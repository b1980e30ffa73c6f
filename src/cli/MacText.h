#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// A MAC address as people write it: twelve hexadecimal digits run together
// ("0A1B2C3D4E5F"), six pairs joined by colons or hyphens ("0a:1b:…",
// "0A-1B-…"), or three groups of four joined by dots ("0a1b.2c3d.4e5f").
// Gives the six bytes as upper-case two-digit texts, as the window's boxes
// hold them; nothing for any other text.
std::optional<std::array<QString, 6>> parseMacText(QStringView text);

// "AA:BB:CC:DD:EE:FF" from six byte texts, whatever they hold.
QString macDisplayText(const std::array<QString, 6>& bytes);
