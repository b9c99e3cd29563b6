#include "device/HidFeaturePadding.h"

size_t PaddedFeatureLength(uint32_t error, size_t length, uint16_t featureReportByteLength)
{
    if (error != kHidErrorInvalidParameter && error != kHidErrorInvalidUserBuffer) {
        return 0;
    }
    return length < featureReportByteLength ? featureReportByteLength : 0;
}
