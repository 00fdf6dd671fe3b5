#include "roadjob/vehicle_encoding.h"

#include <gtest/gtest.h>

namespace itn {
namespace {

TVehicleVocabulary Vocabulary(std::initializer_list<const char*> Names) {
    TStringList<int32_t> collected;
    for (const char* name : Names) collected.Add(name, 0);
    return TVehicleVocabulary(collected);
}

TRoadLinkInformationData Record(TRoadLinkInstruction Instruction, TIntegerArray UseElements, TIntegerArray UseValues,
                                TIntegerArray TypeElements, TIntegerArray TypeValues) {
    return TRoadLinkInformationData{"0001", UseElements, UseValues, TypeElements, TypeValues, Instruction};
}

TEST(VehicleEncodingTest, VocabularyIsSortedAndFoundIgnoringCase) {
    const TVehicleVocabulary types = Vocabulary({"Coaches", "Buses", "buses"});
    EXPECT_EQ(types.Names(), (std::vector<std::string>{"Buses", "Coaches"}));
    EXPECT_EQ(IndexOfVehicle("buses", types), 0);
    EXPECT_EQ(IndexOfVehicle("COACHES", types), 1);
    try {
        IndexOfVehicle("Taxis", types);
        FAIL();
    } catch (const EVehicleRestrictionError& e) {
        EXPECT_STREQ(e.what(), "Internal error: cannot find vehicle: Taxis");
    }
}

TEST(VehicleEncodingTest, QualifierTakesExactExceptForTexts) {
    const TVehicleVocabulary types = Vocabulary({"Buses", "Coaches"});
    TIntegerArray elements, values;
    AddVehicleQualifier("Coaches", "true", elements, values, types);
    AddVehicleQualifier("Buses", "false", elements, values, types);
    EXPECT_EQ(elements, (TIntegerArray{1, 0}));
    EXPECT_EQ(values, (TIntegerArray{1, 0}));
    for (const char* bad : {"", "True", "FALSE", "1", "yes"}) {
        try {
            AddVehicleQualifier("Buses", bad, elements, values, types);
            FAIL() << bad;
        } catch (const EVehicleRestrictionError& e) {
            EXPECT_STREQ(e.what(), "Invalid exceptFor value");
        }
    }
    EXPECT_EQ(elements.size(), 2u);
}

TEST(VehicleEncodingTest, StringOfOneSetOfQualifiers) {
    const TVehicleVocabulary types = Vocabulary({"Buses", "Coaches"});
    struct Case {
        TRoadLinkInstruction instruction;
        TIntegerArray elements, values;
        const char* expected;
    };
    const Case cases[] = {
        {rliAccessProhibitedTo, {0}, {0}, "0,1"},
        {rliAccessProhibitedTo, {0}, {1}, "1,1"},
        {rliAccessLimitedTo, {0}, {0}, "1,0"},
        {rliAccessLimitedTo, {0}, {1}, "0,0"},
        {rliAccessLimitedTo, {0, 1}, {0, 0}, "1,1"},
        {rliAccessProhibitedTo, {0, 0}, {0, 1}, "1,1"},  // a later qualifier overrides
        {rliNone, {}, {}, "1,1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Create_Vehicle_AttributeString(c.elements, c.values, types, c.instruction), c.expected);
    }
    EXPECT_EQ(Create_Vehicle_AttributeString({}, {}, Vocabulary({}), rliNone), "");
    EXPECT_THROW(Create_Vehicle_AttributeString({0}, {0}, types, rliNone), EVehicleRestrictionError);
}

TEST(VehicleEncodingTest, RecordsOfALinkAreCombined) {
    // Types Buses, Coaches; uses Access, Deliveries.
    const auto heightOnly = Record(rliNone, {}, {}, {}, {});
    const auto noBuses = Record(rliAccessProhibitedTo, {}, {}, {0}, {0});
    const auto noCoaches = Record(rliAccessProhibitedTo, {}, {}, {1}, {0});
    const auto busGate = Record(rliAccessLimitedTo, {}, {}, {0}, {0});
    const auto deliveriesOnly = Record(rliAccessLimitedTo, {1}, {0}, {}, {});
    const auto mixed = Record(rliAccessLimitedTo, {1}, {0}, {0}, {0});
    struct Case {
        std::vector<const TRoadLinkInformationData*> records;
        const char* use;
        const char* type;
    };
    const Case cases[] = {
        {{}, "1,1", "1,1"},
        {{&heightOnly, &noBuses}, "1,1", "0,1"},
        {{&noBuses, &noCoaches}, "1,1", "0,0"},
        {{&busGate}, "1,1", "1,0"},
        {{&deliveriesOnly}, "0,1", "1,1"},
        {{&mixed}, "0,1", "1,0"},
        {{&busGate, &heightOnly}, "1,1", "1,0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VehicleStringForRecords(c.records, TVehicleKind::Use, 2), c.use);
        EXPECT_EQ(VehicleStringForRecords(c.records, TVehicleKind::Type, 2), c.type);
    }
    const auto unexpected = Record(rliNone, {}, {}, {0}, {0});
    try {
        VehicleStringForRecords({&noBuses, &unexpected}, TVehicleKind::Type, 2);
        FAIL();
    } catch (const EVehicleRestrictionError& e) {
        EXPECT_STREQ(e.what(), "TForm1.Create_Vehicle_AttributeString : unexpected situation");
    }
}

TEST(VehicleEncodingTest, DefaultStringsAndInstructions) {
    EXPECT_EQ(MakeDefaultVehicleString(0), "");
    EXPECT_EQ(MakeDefaultVehicleString(3), "1,1,1");
    EXPECT_EQ(InstructionFromText("Access Limited To"), rliAccessLimitedTo);
    EXPECT_EQ(InstructionFromText("Access Prohibited To"), rliAccessProhibitedTo);
    EXPECT_EQ(InstructionFromText("access limited to"), rliNone);
    EXPECT_EQ(InstructionFromText(""), rliNone);
}

}  // namespace
}  // namespace itn
