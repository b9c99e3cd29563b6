#include "sim/SimConfig.h"

bool ApplySimFamily(const std::string& family, SimInterfaceConfig& config)
{
    if (family == "zq2200" || family == "zq3300") {
        bool is2200 = family == "zq2200";
        config.name = is2200 ? "ZQ-2200" : "ZQ-3300";
        config.vendorId = kSimDefaultVendorId;
        config.productId = is2200 ? 0x1000 : 0x1002;
        config.featureLength = 137;
        config.kind = 0;
        return true;
    }
    if (family == "zq1100") {
        config.name = "ZQ-1100";
        config.vendorId = 0;
        config.productId = 0;
        config.featureLength = 0;
        config.kind = 1;
        return true;
    }
    return false;
}
