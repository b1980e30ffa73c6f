// The settings file is the user's to edit: whatever bytes it holds, reading
// it must stay in bounds and leave the controls with values they accept.

#include "core/TextNumbers.h"
#include "settingsfile/SettingsFile.h"

#include <cstddef>
#include <cstdint>

namespace {

bool accepted(const QString& text, double low, double high, const QString& fallback)
{
    if (text == fallback)
        return true;
    const double value = numericValue(text);
    return value >= low && value <= high;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const SettingsValues design;
    const SettingsValues loaded = applySettingsFields(readSettingsFields(bytes), design);

    if (!accepted(loaded.port, 1025, 9999, design.port) || !accepted(loaded.repeat, 0.0, 9, design.repeat) ||
        numericValue(loaded.repeat) <= 0)
        __builtin_trap();

    // What was taken survives a save and the next start unchanged.
    const SettingsValues again = applySettingsFields(readSettingsFields(settingsFileBytes(loaded)), design);
    if (!(again == loaded))
        __builtin_trap();
    return 0;
}
