#include "vocabulary.h"

#include <iterator>

namespace gen_itn {

namespace {

const std::string_view kFirst[] = {
    "High", "Station", "Church", "Mill", "Park", "Victoria", "Queen's", "King's", "London", "Manor",
    "Green", "School", "North", "South", "West", "East", "Albert", "George", "New", "Chapel",
    "Bridge", "Castle", "Elm", "Oak", "Willow", "Meadow", "Orchard", "St John's", "St Mary's", "Windsor",
    "York", "Grange", "Springfield", "Kingsway", "Bramble", "Heather", "Cedar", "Ash", "Beech", "Birch",
    "Holly", "Hazel", "Rowan", "Sycamore", "Chestnut", "Lime", "Larch", "Alder", "Cherry", "Poplar",
    "Primrose", "Cromwell", "Nelson", "Wellington", "Trafalgar", "Jubilee", "Coronation", "Fairfield",
    "Highfield", "Lansdowne", "Marlborough", "Richmond", "Stanley", "Westfield", "Woodland", "Brook",
    "Hill", "Valley", "Abbey", "Priory", "Cross", "Market", "Water", "Fore", "Back", "Broad", "Long",
    "Rose", "Sandy", "Stone", "Tower", "Dale", "Forest", "Glebe", "Moor", "Pound", "Quarry", "Well",
    "Vicarage", "Rectory", "Farm", "Mount", "Pleasant", "Railway", "Canal", "Wharf", "Harbour", "Quay",
    "Cemetery", "Hospital", "College", "Academy", "Museum", "Library", "Gas", "Brewery", "Tannery",
    "Foundry", "Forge", "Smithy", "Bakehouse", "Dairy", "Barn", "Stable", "Coach House", "Lodge",
    "Hall", "Court", "Gate", "Bell", "Swan", "Anchor", "Crown", "Plough", "Red Lion", "White Hart",
    "Beacon", "Belmont", "Clarence", "Devonshire", "Grosvenor", "Hanover", "Lancaster", "Oxford",
    "Cambridge", "Salisbury", "Somerset", "Sussex", "Warwick", "Bath", "Bristol", "Chester",
};
const std::string_view kSuffix[] = {
    "Street", "Road", "Lane", "Avenue", "Close", "Drive", "Way", "Crescent", "Gardens", "Place",
    "Terrace", "Grove", "Court", "Mews", "Row", "Walk", "Hill", "Rise", "View", "Square", "Parade",
};
const std::string_view kPlace[] = {
    "Ashby", "Barton", "Bourne", "Bradley", "Burton", "Carlton", "Charlton", "Compton", "Dalton",
    "Easton", "Felton", "Fulford", "Grafton", "Hampton", "Hatton", "Hilton", "Holme", "Horton",
    "Kirkby", "Langley", "Lawton", "Linton", "Marston", "Melton", "Milton", "Morton", "Newton",
    "Norton", "Preston", "Redford", "Riverside", "Seaton", "Shelton", "Shirley", "Stanton",
    "Stockton", "Sutton", "Thornton", "Upton", "Walton", "Weston", "Whitley", "Wickham", "Winton",
    "Woodford", "Wootton", "Yarwood", "Upper", "Lower", "Old", "Little", "Great", "Far", "Nether",
};
// Names that test the reading of texts: apostrophes, an escaped ampersand, a leading digit
// (still a name), and Welsh letters inside and outside code page 1252.
const std::string_view kSpecial[] = {
    "Coach &amp; Horses Lane", "1st Avenue", "2nd Avenue", "Heol y D\xc5\xb5r", "Ffordd Glynd\xc5\xb5r",
    "L\xc3\xb4n Isaf", "Stryd Fawr", "Rhodfa'r M\xc3\xb4r", "Bishop's Walk", "Lady's Mile",
};

constexpr uint64_t kFirstCount = std::size(kFirst);
constexpr uint64_t kSuffixCount = std::size(kSuffix);
constexpr uint64_t kPlaceCount = std::size(kPlace);
constexpr uint64_t kSpecialCount = std::size(kSpecial);

}  // namespace

uint64_t NamePoolLimit() { return kSpecialCount + kFirstCount * kSuffixCount * (kPlaceCount + 1); }

std::string NameText(uint64_t n) {
    if (n < kSpecialCount) return std::string(kSpecial[n]);
    n -= kSpecialCount;
    std::string s;
    const uint64_t place = n / (kFirstCount * kSuffixCount);
    if (place > 0) {
        s += kPlace[(place - 1) % kPlaceCount];
        s += ' ';
    }
    s += kFirst[n % kFirstCount];
    s += ' ';
    s += kSuffix[(n / kFirstCount) % kSuffixCount];
    return s;
}

std::string UpperText(const std::string& Text) {
    std::string s = Text;
    bool inEntity = false;
    for (char& c : s) {
        if (c == '&') inEntity = true;
        if (!inEntity && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c == ';') inEntity = false;
    }
    return s;
}

std::string NumberText(TRoadClass Class, uint64_t Key) {
    switch (Class) {
        case TRoadClass::Motorway:
            if (Key % 5 == 0) return "A" + std::to_string(1 + Key / 5 % 99) + "(M)";
            return "M" + std::to_string(1 + Key / 5 % 99);
        case TRoadClass::ARoad:
            return "A" + std::to_string(1 + Key % 4999);
        default:
            return "B" + std::to_string(1000 + Key % 8999);
    }
}

std::string_view TermText(TRoadClass Class) {
    switch (Class) {
        case TRoadClass::Motorway: return "Motorway";
        case TRoadClass::ARoad: return "A Road";
        case TRoadClass::BRoad: return "B Road";
        case TRoadClass::MinorRoad: return "Minor Road";
        case TRoadClass::LocalStreet: return "Local Street";
        case TRoadClass::PrivatePublic: return "Private Road - Publicly Accessible";
        case TRoadClass::PrivateRestricted: return "Private Road - Restricted Access";
        case TRoadClass::Alley: return "Alley";
        case TRoadClass::Pedestrianised: return "Pedestrianised Street";
    }
    return "Local Street";
}

std::string_view NatureText(TNature Nature) {
    switch (Nature) {
        case TNature::Single: return "Single Carriageway";
        case TNature::Dual: return "Dual Carriageway";
        case TNature::SlipRoad: return "Slip Road";
        case TNature::Roundabout: return "Roundabout";
        case TNature::TrafficIsland: return "Traffic Island Link";
        case TNature::TrafficIslandAtJunction: return "Traffic Island Link At Junction";
        case TNature::EnclosedTrafficArea: return "Enclosed Traffic Area Link";
    }
    return "Single Carriageway";
}

const std::string_view kVehicleTypes[] = {
    "Buses", "Coaches", "Goods Vehicles", "Heavy Goods Vehicles", "Motor Vehicles", "Motor Cycles",
    "Pedal Cycles", "Vehicles Exceeding 7.5 Tonnes", "Tractors", "Towed Caravans",
};
const size_t kVehicleTypeCount = std::size(kVehicleTypes);

const std::string_view kVehicleUses[] = {
    "Access", "Emergency Vehicles", "Taxis", "Residents", "Local Buses", "Permit Holders",
    "Loading And Unloading", "Authorised Vehicles", "Deliveries", "Public Service Vehicles",
};
const size_t kVehicleUseCount = std::size(kVehicleUses);

const std::string_view kOtherInfoTerms[] = {
    "Traffic Calming", "Level Crossing", "Gate", "Ford", "Toll", "Bus Lane",
};
const size_t kOtherInfoTermCount = std::size(kOtherInfoTerms);

const std::string_view kPathTerms[] = {"Path", "Path", "Path", "Path", "Path", "Path", "Footbridge", "Subway", "Steps"};
const size_t kPathTermCount = std::size(kPathTerms);
const std::string_view kPathClassifications[] = {"Alley", "Footpath", "Shared Use", "Covered", "Pedestrianised"};
const size_t kPathClassificationCount = std::size(kPathClassifications);

}  // namespace gen_itn
