#include "roadjob/road_rules.h"

#include <cmath>
#include <limits>

#include "roadjob/feature_ids.h"

namespace itn {

int32_t RoundHalfEven(double x) {
    const double r = std::nearbyint(x);
    if (!(r > std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    if (r > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

int32_t HeightInUnit(int32_t Feet, int32_t Inches, double Metres, int32_t Unit) {
    if (static_cast<int64_t>(Feet) + Inches != 0) {
        const int64_t inches = 12 * static_cast<int64_t>(Feet) + Inches;
        if (Unit == 0) return RoundHalfEven(static_cast<double>(inches) * 2.54);
        return RoundHalfEven(static_cast<double>(inches));
    }
    if (Unit == 0) return RoundHalfEven(Metres * 100);
    return RoundHalfEven(Metres / 0.0254);
}

bool IsRoadNumber(std::string_view Text) {
    for (size_t i = 1; i < Text.size(); ++i) {
        if (Text[i] >= '0' && Text[i] <= '9') return true;
    }
    return false;
}

void TCurrentFeature::FeatureStart(TXmlNode& Node) {
    FSkip = false;
    FFid = FidOf(&Node);
    FVersions.Prefetch(FFid);
    FVersionRead = false;
    if (FDeparted.Contains(FFid)) FSkip = true;
}

void TCurrentFeature::VersionRead(TXmlNode& Node) {
    const int32_t* current = FVersions.Find(FFid);
    if (current && *current != Node.ValueAsInteger()) FSkip = true;
    FVersion = current ? *current : 0;
    FVersionRead = true;
}

int32_t TCurrentFeature::Version() const {
    if (FVersionRead) return FVersion;
    const int32_t* version = FVersions.Find(FFid);
    return version ? *version : 0;
}

}  // namespace itn
