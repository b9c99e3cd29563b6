// The device operations of the legacy family, carried out through the driver channel.
#include "device/LegacyProgramming.h"
#include "model/LegacyKeyboard.h"

int LegacyKeyboard::Program(ProgressSink* progress)
{
    return ProgramLegacyKeyboard(*this, progress, m_errorText);
}

int LegacyKeyboard::BuildDeviceImage(uint8_t keyboardVersion, uint8_t* buffer, size_t* size)
{
    return BuildLegacyDeviceImage(*this, keyboardVersion, buffer, size, m_errorText);
}
