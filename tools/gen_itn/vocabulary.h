// Texts of the generated features: road names and numbers, descriptive terms, vehicle names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tile_plan.h"

namespace gen_itn {

// Number of distinct road names NameText gives.
uint64_t NamePoolLimit();
// Road name number n (0 <= n < NamePoolLimit()), XML-escaped. A few are Welsh, hold an
// apostrophe, an ampersand or start with a digit ("1st Avenue").
std::string NameText(uint64_t n);
std::string UpperText(const std::string& Text);
// Road number for a numbered road of the class ("A4123", "B1234", "M25", "A1(M)").
std::string NumberText(TRoadClass Class, uint64_t Key);

std::string_view TermText(TRoadClass Class);
std::string_view NatureText(TNature Nature);

// Vehicle qualifier vocabularies (osgb:type and osgb:use).
extern const std::string_view kVehicleTypes[];
extern const size_t kVehicleTypeCount;
extern const std::string_view kVehicleUses[];
extern const size_t kVehicleUseCount;

extern const std::string_view kOtherInfoTerms[];
extern const size_t kOtherInfoTermCount;

extern const std::string_view kPathTerms[];
extern const size_t kPathTermCount;
extern const std::string_view kPathClassifications[];
extern const size_t kPathClassificationCount;

}  // namespace gen_itn
