#include "itn_gml.h"

#include <algorithm>
#include <string>

#include "vocabulary.h"

namespace gen_itn {

namespace {

constexpr uint32_t kNone = UINT32_MAX;

// Feature elements with their member elements, as a roads or urban file nests them.
struct TFeatureTag {
    std::string_view Member, Feature;
};
constexpr TFeatureTag kRoadLinkTag{"osgb:networkMember", "osgb:RoadLink"};
constexpr TFeatureTag kRoadNodeTag{"osgb:networkMember", "osgb:RoadNode"};
constexpr TFeatureTag kFerryLinkTag{"osgb:networkMember", "osgb:FerryLink"};
constexpr TFeatureTag kFerryNodeTag{"osgb:networkMember", "osgb:FerryNode"};
constexpr TFeatureTag kRoadTag{"osgb:roadMember", "osgb:Road"};
constexpr TFeatureTag kRouteInfoTag{"osgb:roadInformationMember", "osgb:RoadRouteInformation"};
constexpr TFeatureTag kLinkInfoTag{"osgb:roadInformationMember", "osgb:RoadLinkInformation"};
constexpr TFeatureTag kPathLinkTag{"osgb:networkMember", "osgb:PathLink"};
constexpr TFeatureTag kPathNodeTag{"osgb:networkMember", "osgb:PathNode"};
constexpr TFeatureTag kConnectingNodeTag{"osgb:networkMember", "osgb:ConnectingNode"};
constexpr TFeatureTag kConnectingLinkTag{"osgb:networkMember", "osgb:ConnectingLink"};
constexpr TFeatureTag kPathInfoTag{"osgb:pathInformationMember", "osgb:PathLinkInformation"};

const std::string_view kReasons[] = {"Modified", "Attributes", "Position", "Reclassified"};

class TWriter {
public:
    TWriter(TOutputFile& Out, const TTilePlan& Plan) : O(Out), P(Plan) {}

    TOutputFile& O;
    const TTilePlan& P;

    // Sixteen digits: "40000", the kind, and the tile's serial of the feature.
    void Toid(TKind Kind, const TTilePlan& Of, uint64_t Local) {
        O.Lit("osgb40000");
        O.Padded(static_cast<uint64_t>(Kind), 2);
        O.Padded(Of.Serial(Local), 9);
    }
    void Start(const TFeatureTag& Tag, TKind Kind, const TTilePlan& Of, uint64_t Local) {
        O.Char('<');
        O.Lit(Tag.Member);
        O.Lit("><");
        O.Lit(Tag.Feature);
        O.Lit(" fid='");
        Toid(Kind, Of, Local);
        O.Lit("'>");
    }
    void End(const TFeatureTag& Tag) {
        O.Lit("</");
        O.Lit(Tag.Feature);
        O.Lit("></");
        O.Lit(Tag.Member);
        O.Lit(">\n");
    }
    void Date(uint64_t Key, int Entry) {
        const uint64_t year = 2001 + Key % 3 + 2 * static_cast<uint64_t>(Entry - 1);
        O.Padded(year, 4);
        O.Char('-');
        O.Padded(1 + (Key >> 8) % 12, 2);
        O.Char('-');
        O.Padded(1 + (Key >> 16) % 28, 2);
    }
    // version, versionDate, theme and the change history of the last versions.
    void Preamble(int Version, uint64_t Key) {
        O.Lit("<osgb:version>");
        O.UInt(static_cast<uint64_t>(Version));
        O.Lit("</osgb:version><osgb:versionDate>");
        Date(Key, Version);
        O.Lit("</osgb:versionDate><osgb:theme>Road Network</osgb:theme>");
        // The first change and the last one.
        for (int e = 1; e <= Version; e = e == 1 && Version > 2 ? Version : e + 1) {
            O.Lit("<osgb:changeHistory><osgb:changeDate>");
            Date(Key, e);
            O.Lit("</osgb:changeDate><osgb:reasonForChange>");
            O.Lit(e == 1 ? std::string_view("New") : kReasons[(Key >> (24 + e)) % 4]);
            O.Lit("</osgb:reasonForChange></osgb:changeHistory>");
        }
    }
    void Text(std::string_view Element, std::string_view Value) {
        O.Char('<');
        O.Lit(Element);
        O.Char('>');
        O.Lit(Value);
        O.Lit("</");
        O.Lit(Element);
        O.Char('>');
    }
    void Href(TKind Kind, const TTilePlan& Of, uint64_t Local) {
        O.Lit(" xlink:href='#");
        Toid(Kind, Of, Local);
        O.Lit("'/>");
    }
    void Point(const TPoint& p) {
        O.Coordinate(p.X);
        O.Char(',');
        O.Coordinate(p.Y);
    }
    void PointProperty(const TPoint& p) {
        O.Lit("<osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>");
        Point(p);
        O.Lit("</gml:coordinates></gml:Point></osgb:point>");
    }
    void Polyline(const std::vector<TPoint>& Points) {
        O.Lit("<osgb:polyline><gml:LineString srsName='osgb:BNG'><gml:coordinates>");
        for (size_t k = 0; k < Points.size(); ++k) {
            if (k > 0) O.Char(' ');
            Point(Points[k]);
        }
        O.Lit("</gml:coordinates></gml:LineString></osgb:polyline>");
    }
    // A directed node or directed link reference: orientation, optional grade separation, href.
    void Directed(std::string_view Element, char Orientation, int Grade, TKind Kind, const TTilePlan& Of,
                  uint64_t Local) {
        O.Char('<');
        O.Lit(Element);
        O.Lit(" orientation='");
        O.Char(Orientation);
        O.Char('\'');
        if (Grade >= 0) {
            O.Lit(" gradeSeparation='");
            O.UInt(static_cast<uint64_t>(Grade));
            O.Char('\'');
        }
        Href(Kind, Of, Local);
    }
    void Departed(TKind Kind, const TTilePlan& Of, uint64_t Local, uint64_t Key) {
        O.Lit("<osgb:departedMember><osgb:DepartedFeature fid='");
        Toid(Kind, Of, Local);
        O.Lit("'><osgb:theme>Road Network</osgb:theme><osgb:reasonForDeparture>Deleted</osgb:reasonForDeparture>"
              "<osgb:deletionDate>");
        Date(Key, 5);
        O.Lit("</osgb:deletionDate></osgb:DepartedFeature></osgb:departedMember>\n");
    }
};

uint64_t Key(const TTilePlan& Of, THashSalt Salt, uint64_t A) {
    return Of.Hash()(Salt, static_cast<uint64_t>(Of.Tile()), A);
}

// Versions of nodes, roads and information features: most never changed.
int VersionOf(uint64_t Key) {
    const uint64_t k = Key % 20;
    return k < 14 ? 1 : k < 19 ? 2 : 3;
}

// ---- roads layer ---------------------------------------------------------------------------

void RoadLink(TWriter& w, const TTilePlan& of, uint32_t k, int version, bool superseded, std::vector<TPoint>& pts) {
    const TLink& l = of.Links[k];
    of.LinkPoints(k, pts);
    w.Start(kRoadLinkTag, TKind::RoadLink, of, k);
    w.Preamble(version, Key(of, THashSalt::Version, k));
    if (l.Flags & lfOldGroup) {
        w.Text("osgb:descriptiveGroup", TermText(l.Class));
        w.Text("osgb:descriptiveTerm", "Minor Road");
    } else {
        w.Text("osgb:descriptiveGroup", "Road Topology");
        w.Text("osgb:descriptiveTerm", TermText(l.Class));
    }
    TNature nature = l.Nature;
    if (superseded) nature = nature == TNature::Single ? TNature::Dual : TNature::Single;
    w.Text("osgb:natureOfRoad", NatureText(nature));
    w.Polyline(pts);
    w.Directed("osgb:directedNode", '-', of.GradeSeparation(k, false), TKind::RoadNode, of, of.StartNode(k));
    w.Directed("osgb:directedNode", '+', of.GradeSeparation(k, true), TKind::RoadNode, of, of.EndNode(k));
    w.End(kRoadLinkTag);
}

void RoadNode(TWriter& w, uint32_t v) {
    const TTilePlan& p = w.P;
    const uint32_t degree = p.AdjStart[v + 1] - p.AdjStart[v];
    const uint64_t key = Key(p, THashSalt::Node, v);
    w.Start(kRoadNodeTag, TKind::RoadNode, p, v);
    w.Preamble(VersionOf(key), key);
    w.Text("osgb:descriptiveGroup", "Road Topology");
    w.Text("osgb:descriptiveTerm", degree == 1 ? "Road End" : degree == 2 ? "Pseudo Node" : "Junction");
    w.PointProperty(p.Nodes[v]);
    w.End(kRoadNodeTag);
}

TPoint FerryNodePoint(const TTilePlan& p, uint32_t n) {
    const int64_t s = p.Config().SpacingMm;
    const TPoint a{p.X0 - 2 * s, p.Y0 + (static_cast<int64_t>(n / 2) * 2 + 1) * s};
    if (n % 2 == 0) return a;
    return {a.X - 5000000 - static_cast<int64_t>(Key(p, THashSalt::Ferry, n) % 4000) * 1000, a.Y + 2000000};
}

void FerryNode(TWriter& w, const TTilePlan& of, uint32_t n) {
    w.Start(kFerryNodeTag, TKind::FerryNode, of, n);
    w.Preamble(1, Key(of, THashSalt::Ferry, n));
    w.Text("osgb:descriptiveGroup", "Ferry Connection");
    w.Text("osgb:descriptiveTerm", "Ferry Node");
    w.PointProperty(FerryNodePoint(of, n));
    w.End(kFerryNodeTag);
}

void FerryLink(TWriter& w, uint32_t i) {
    const TTilePlan& p = w.P;
    w.Start(kFerryLinkTag, TKind::FerryLink, p, i);
    w.Preamble(1 + static_cast<int>(i % 2), Key(p, THashSalt::Ferry, 1000 + i));
    w.Text("osgb:descriptiveGroup", "Ferry Connection");
    w.Text("osgb:descriptiveTerm", "Ferry Connection");
    w.Directed("osgb:directedNode", '-', -1, TKind::FerryNode, p, 2 * i);
    w.Directed("osgb:directedNode", '+', -1, TKind::FerryNode, p, 2 * i + 1);
    w.End(kFerryLinkTag);
}

void Road(TWriter& w, const TTilePlan& of, uint32_t r, int version, bool superseded) {
    const TRoadFeature& road = of.Roads[r];
    w.Start(kRoadTag, TKind::Road, of, r);
    w.Preamble(version, Key(of, THashSalt::Road, r));
    w.Text("osgb:descriptiveGroup", "Road");
    if (road.Name >= 0) w.Text("osgb:descriptiveTerm", "Named Road");
    if (road.Number >= 0) w.Text("osgb:descriptiveTerm", TermText(road.Class));
    if (road.Primary) w.Text("osgb:descriptiveTerm", "Primary Route");
    if (road.Trunk) w.Text("osgb:descriptiveTerm", "Trunk Road");
    if (road.Name >= 0) {
        // A superseded version carries the name the road had before.
        const uint64_t n = (static_cast<uint64_t>(road.Name) + (superseded ? 1 : 0)) % NamePoolLimit();
        const std::string name = NameText(n);
        w.Text("osgb:roadName", road.Upper ? UpperText(name) : name);
    }
    if (road.Number >= 0) w.Text("osgb:roadName", NumberText(road.Class, static_cast<uint64_t>(road.Number)));
    for (uint32_t m = 0; m < road.MemberCount; ++m) {
        w.O.Lit("<osgb:networkMember");
        w.Href(TKind::RoadLink, of, of.RoadMembers[road.FirstMember + m]);
    }
    w.End(kRoadTag);
}

void RouteInfoStart(TWriter& w, uint64_t serial, std::string_view instruction, bool exceptBuses) {
    const uint64_t key = Key(w.P, THashSalt::OneWay, serial);
    w.Start(kRouteInfoTag, TKind::RoadRouteInformation, w.P, serial);
    w.Preamble(VersionOf(key), key);
    w.Text("osgb:descriptiveGroup", "Road Route Information");
    if (exceptBuses) {
        w.O.Lit("<osgb:vehicleQualifier><osgb:type exceptFor='true'>Buses</osgb:type></osgb:vehicleQualifier>");
    }
    w.Text("osgb:instruction", instruction);
}

// Orientation of a link travelled towards (Into) or away from a node.
char Orientation(const TTilePlan& p, uint32_t link, uint32_t node, bool into) {
    if (into) return p.EndNode(link) == node ? '+' : '-';
    return p.StartNode(link) == node ? '+' : '-';
}

uint32_t SharedNode(const TTilePlan& p, uint32_t a, uint32_t b) {
    const TLink& la = p.Links[a];
    const TLink& lb = p.Links[b];
    return (la.From == lb.From || la.From == lb.To) ? la.From : la.To;
}

void Turn(TWriter& w, uint64_t serial, const TTurn& turn, TCounts& counts) {
    const TTilePlan& p = w.P;
    RouteInfoStart(w, serial, turn.Mandatory ? "Mandatory Turn" : "No Turn", turn.ExceptBuses);
    for (uint32_t i = 0; i < turn.Count; ++i) {
        const uint32_t link = turn.Links[i];
        const char orientation = i + 1 < turn.Count
                                     ? Orientation(p, link, SharedNode(p, link, turn.Links[i + 1]), true)
                                     : Orientation(p, link, SharedNode(p, turn.Links[i - 1], link), false);
        w.Directed("osgb:directedLink", orientation, -1, TKind::RoadLink, p, link);
    }
    w.End(kRouteInfoTag);
    if (turn.Mandatory) {
        ++(turn.Count == 2 ? counts.Mandatory2 : counts.Mandatory3);
    } else {
        ++(turn.Count == 2 ? counts.NoTurn2 : counts.NoTurn3);
    }
}

void LinkInfoStart(TWriter& w, uint64_t serial, std::string_view term) {
    const uint64_t key = Key(w.P, THashSalt::Access, serial);
    w.Start(kLinkInfoTag, TKind::RoadLinkInformation, w.P, serial);
    w.Preamble(VersionOf(key), key);
    w.Text("osgb:descriptiveGroup", "Road Link Information");
    w.Text("osgb:descriptiveTerm", term);
}

void LinkInfoEnd(TWriter& w, const TInfo& info, TKind kind = TKind::RoadLink) {
    w.O.Lit("<osgb:referenceToRoadLink");
    w.Href(kind, w.P, info.Link);
    if (info.Second != kNone) {
        w.O.Lit("<osgb:referenceToRoadLink");
        w.Href(kind, w.P, info.Second);
    }
    w.End(kLinkInfoTag);
}

void Qualifier(TWriter& w, bool type, uint64_t h) {
    std::string name(type ? kVehicleTypes[h % kVehicleTypeCount] : kVehicleUses[h % kVehicleUseCount]);
    if ((h >> 20) % 200 == 0) name[0] = static_cast<char>(name[0] - 'A' + 'a');  // the same name in lower case
    w.O.Lit(type ? "<osgb:type exceptFor='" : "<osgb:use exceptFor='");
    w.O.Lit((h >> 12) % 5 == 0 ? "true'>" : "false'>");
    w.O.Lit(name);
    w.O.Lit(type ? "</osgb:type>" : "</osgb:use>");
}

void AccessInfo(TWriter& w, uint64_t serial, const TInfo& info) {
    TStream r(Key(w.P, THashSalt::Qualifier, serial));
    LinkInfoStart(w, serial, "Access Restriction");
    w.Text("osgb:instruction", r.U() < 0.6 ? "Access Prohibited To" : "Access Limited To");
    const int count = static_cast<int>(r.Range(1, 3));
    for (int q = 0; q < count; ++q) {
        w.O.Lit("<osgb:vehicleQualifier>");
        Qualifier(w, r.U() < 0.6, r.Next());
        if (r.U() < 0.3) Qualifier(w, r.U() < 0.6, r.Next());  // two qualifiers in one element
        w.O.Lit("</osgb:vehicleQualifier>");
    }
    LinkInfoEnd(w, info);
}

void HeightInfo(TWriter& w, uint64_t serial, const TInfo& info) {
    TStream r(Key(w.P, THashSalt::Height, serial));
    LinkInfoStart(w, serial, "Height Restriction");
    const double form = r.U();
    if (form < 0.75) {
        w.O.Lit("<osgb:vehicleQualifier><osgb:feet>");
        w.O.UInt(static_cast<uint64_t>(r.Range(9, 16)));
        w.O.Lit("</osgb:feet><osgb:inches>");
        w.O.UInt(static_cast<uint64_t>(r.Range(0, 11)));
        w.O.Lit("</osgb:inches></osgb:vehicleQualifier>");
    }
    if (form >= 0.6) {
        static const char* const kMetres[] = {"4.4", "4.125", "3.9", "5.03", "4.75", "2.1", "3"};
        w.O.Lit("<osgb:vehicleQualifier><osgb:maxheight>");
        w.O.Lit(kMetres[r.Next() % 7]);
        w.O.Lit("</osgb:maxheight></osgb:vehicleQualifier>");
    }
    LinkInfoEnd(w, info);
}

}  // namespace

TCounts& TCounts::operator+=(const TCounts& o) {
    uint64_t* a = &RoadLinkElements;
    const uint64_t* b = &o.RoadLinkElements;
    for (size_t i = 0; i < sizeof(TCounts) / sizeof(uint64_t); ++i) a[i] += b[i];
    return *this;
}

void WriteCollectionStart(TOutputFile& Out, const TGenConfig& Config, std::string_view Id,
                          int64_t X0, int64_t Y0, int64_t X1, int64_t Y1) {
    Out.Lit("<?xml version='1.0' encoding='UTF-8'?>\n"
            "<osgb:FeatureCollection xmlns:osgb='http://www.ordnancesurvey.co.uk/xml/namespaces/osgb' "
            "xmlns:gml='http://www.opengis.net/gml' xmlns:xlink='http://www.w3.org/1999/xlink' "
            "xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance' "
            "xsi:schemaLocation='http://www.ordnancesurvey.co.uk/xml/namespaces/osgb "
            "http://www.ordnancesurvey.co.uk/xml/schema/v7/OSDNFFeatures.xsd' fid='");
    Out.Lit(Id);
    Out.Lit("'>\n<gml:description>Synthetic ITN test data made by gen_itn, seed ");
    Out.UInt(Config.Seed);
    Out.Lit("; not Ordnance Survey data</gml:description>\n"
            "<gml:boundedBy><gml:null>unknown</gml:null></gml:boundedBy>\n"
            "<osgb:queryTime>2010-03-15T09:30:00</osgb:queryTime>\n"
            "<osgb:queryExtent><osgb:Rectangle srsName='osgb:BNG'><gml:coordinates>");
    Out.Coordinate(X0);
    Out.Char(',');
    Out.Coordinate(Y0);
    Out.Char(' ');
    Out.Coordinate(X1);
    Out.Char(',');
    Out.Coordinate(Y1);
    Out.Lit("</gml:coordinates></osgb:Rectangle></osgb:queryExtent>\n");
}

void WriteCollectionEnd(TOutputFile& Out) { Out.Lit("</osgb:FeatureCollection>\n"); }

void WriteRoadsFile(TOutputFile& Out, const TTilePlan& Plan, const TTilePlan& Previous, TCounts& Counts) {
    TWriter w(Out, Plan);
    const TGenConfig& config = Plan.Config();
    const std::string id = "GDS-" + std::to_string(config.Seed) + "-" + std::to_string(Plan.Tile() + 1);
    WriteCollectionStart(Out, config, id, Plan.X0, Plan.Y0, Plan.X0 + Plan.Width, Plan.Y0 + Plan.Height_);
    std::vector<TPoint> pts;

    // Road links, then the copies of links of the previous tile (same, newer or older version).
    for (uint32_t k = 0; k < Plan.Links.size(); ++k) {
        RoadLink(w, Plan, k, Plan.Links[k].Version, Plan.LinkCopy[k] == ckNewer, pts);
        Counts.RoadLinksClosed += (Plan.Links[k].Flags & lfLoop) ? 1 : 0;
        Counts.RoadLinksDeparted += Plan.LinkDeparted[k];
        Counts.GradeSeparations += (Plan.GradeSeparation(k, false) >= 0) + (Plan.GradeSeparation(k, true) >= 0);
    }
    Counts.RoadLinks += Plan.Links.size();
    Counts.RoadLinkElements += Plan.Links.size();
    for (uint32_t k = 0; k < Previous.Links.size(); ++k) {
        const TCopyKind copy = Previous.LinkCopy[k];
        if (copy == ckNone) continue;
        const int version = Previous.Links[k].Version + (copy == ckNewer ? 1 : copy == ckOlder ? -1 : 0);
        RoadLink(w, Previous, k, version, copy == ckOlder, pts);
        ++Counts.RoadLinkElements;
        ++Counts.RoadLinkCopies;
    }

    for (uint32_t v = 0; v < Plan.Nodes.size(); ++v) {
        if (!Plan.NodeUsed[v]) continue;
        RoadNode(w, v);
        ++Counts.RoadNodes;
    }

    for (uint32_t i = 0; i < Plan.FerryCount; ++i) FerryLink(w, i);
    for (uint32_t n = 0; n < 2 * Plan.FerryCount; ++n) FerryNode(w, Plan, n);
    if (Previous.FerryCount > 0) FerryNode(w, Previous, 1);  // a terminal listed in both files
    Counts.FerryLinks += Plan.FerryCount;
    Counts.FerryNodes += 2 * Plan.FerryCount;

    for (uint32_t r = 0; r < Plan.Roads.size(); ++r) {
        Road(w, Plan, r, Plan.Roads[r].Version, Plan.Roads[r].Copy == ckNewer);
    }
    for (uint32_t r = 0; r < Previous.Roads.size(); ++r) {
        const TCopyKind copy = Previous.Roads[r].Copy;
        if (copy != ckNone) Road(w, Previous, r, Previous.Roads[r].Version + (copy == ckNewer ? 1 : 0), false);
    }
    Counts.Roads += Plan.Roads.size();

    uint64_t serial = 0;
    for (uint32_t link : Plan.OneWay) {
        RouteInfoStart(w, serial++, "One Way", false);
        w.Directed("osgb:directedLink", Key(Plan, THashSalt::OneWay, link) % 10 < 6 ? '+' : '-', -1,
                   TKind::RoadLink, Plan, link);
        w.End(kRouteInfoTag);
    }
    Counts.OneWay += Plan.OneWay.size();
    for (const TTurn& turn : Plan.Turns) Turn(w, serial++, turn, Counts);

    serial = 0;
    for (const TInfo& info : Plan.Access) AccessInfo(w, serial++, info);
    for (const TInfo& info : Plan.Height) HeightInfo(w, serial++, info);
    for (const TInfo& info : Plan.OtherInfo) {
        LinkInfoStart(w, serial, kOtherInfoTerms[Key(Plan, THashSalt::OtherInfo, serial) % kOtherInfoTermCount]);
        ++serial;
        LinkInfoEnd(w, info);
    }
    if (Plan.FerryCount > 0 && (config.Fixture || Plan.Hash().U(THashSalt::Ferry, Plan.Tile(), 7) < 0.3)) {
        LinkInfoStart(w, serial++, "Access Restriction");
        w.Text("osgb:instruction", "Access Limited To");
        w.O.Lit("<osgb:vehicleQualifier><osgb:type exceptFor='false'>Motor Vehicles</osgb:type>"
                "</osgb:vehicleQualifier>");
        LinkInfoEnd(w, TInfo{0, kNone, false}, TKind::FerryLink);
        ++Counts.AccessInfo;
    }
    Counts.AccessInfo += Plan.Access.size();
    Counts.HeightInfo += Plan.Height.size();
    Counts.OtherInfo += Plan.OtherInfo.size();

    // Departures of features of the previous tile.
    for (uint32_t k = 0; k < Previous.Links.size(); ++k) {
        if (!Previous.LinkDeparted[k]) continue;
        w.Departed(TKind::RoadLink, Previous, k, Key(Previous, THashSalt::Departed, k));
        ++Counts.DepartedFeatures;
    }
    for (uint32_t i = 0; i < Previous.Access.size(); ++i) {
        if (!Previous.Access[i].Departed) continue;
        w.Departed(TKind::RoadLinkInformation, Previous, i, Key(Previous, THashSalt::Departed, i));
        ++Counts.DepartedFeatures;
    }
    WriteCollectionEnd(Out);
}

void WriteUrbanFeatures(TOutputFile& Out, const TTilePlan& Plan, TCounts& Counts) {
    const TGenConfig& config = Plan.Config();
    const uint64_t u = config.UrbanLinksInTile(Plan.Tile());
    if (u == 0) return;
    TWriter w(Out, Plan);
    const uint64_t t = static_cast<uint64_t>(Plan.Tile());
    const THash& hash = Plan.Hash();
    const int64_t s = config.SpacingMm;
    const uint32_t wp = static_cast<uint32_t>(std::max(1, config.LatticeWidth - 1));

    // Path links between the centres of neighbouring lattice cells.
    struct TPathLink {
        uint32_t From, To;
    };
    std::vector<TPathLink> links;
    uint32_t maxNode = 0;
    for (uint32_t p = 0; links.size() < u; ++p) {
        if (p % wp + 1 < wp && hash.U(THashSalt::PathNet, t, 2 * p) < 0.8) links.push_back({p, p + 1});
        if (links.size() < u && hash.U(THashSalt::PathNet, t, 2 * p + 1) < 0.8) links.push_back({p, p + wp});
        maxNode = std::max({maxNode, p, links.empty() ? 0 : links.back().To});
    }
    const uint32_t nodeCount = maxNode + 1;
    auto nodePoint = [&](uint32_t p) {
        TStream r(hash(THashSalt::PathNet, t, (uint64_t{1} << 40) | p));
        const int64_t jx = static_cast<int64_t>((r.U() - 0.5) * 0.3 * static_cast<double>(s));
        const int64_t jy = static_cast<int64_t>((r.U() - 0.5) * 0.3 * static_cast<double>(s));
        return TPoint{(Plan.X0 + static_cast<int64_t>(p % wp) * s + s / 2 + jx) / 10 * 10,
                      (Plan.Y0 + static_cast<int64_t>(p / wp) * s + s / 2 + jy) / 10 * 10};
    };
    auto departed = [&](uint64_t what, uint32_t i, double rate) {
        return hash.U(THashSalt::Departed, t, (what << 40) | i) < rate;
    };

    std::vector<TPoint> pts;
    for (uint32_t i = 0; i < links.size(); ++i) {
        TStream r(hash(THashSalt::Urban, t, i));
        const TPoint a = nodePoint(links[i].From), b = nodePoint(links[i].To);
        const double pc = r.U();
        const int count = 2 + static_cast<int>(13 * pc * pc);
        pts.assign(1, a);
        for (int k = 1; k < count - 1; ++k) {
            const double f = static_cast<double>(k) / (count - 1);
            const double off = (r.U() - 0.5) * 0.1;
            pts.push_back({(a.X + static_cast<int64_t>(static_cast<double>(b.X - a.X) * f -
                                                       static_cast<double>(b.Y - a.Y) * off)) / 10 * 10,
                           (a.Y + static_cast<int64_t>(static_cast<double>(b.Y - a.Y) * f +
                                                       static_cast<double>(b.X - a.X) * off)) / 10 * 10});
        }
        pts.push_back(b);
        const std::string_view term = kPathTerms[r.Next() % kPathTermCount];
        const int grade = term == "Footbridge" ? 1 : -1;
        w.Start(kPathLinkTag, TKind::PathLink, Plan, i);
        w.Preamble(VersionOf(r.Next()), r.Next());
        w.Text("osgb:descriptiveGroup", "Path");
        // A few path links lack their term, as in delivered data.
        if (!(r.U() < 0.001 || (config.Fixture && i == 1))) w.Text("osgb:descriptiveTerm", term);
        w.Polyline(pts);
        w.Directed("osgb:directedNode", '-', grade, TKind::PathNode, Plan, links[i].From);
        w.Directed("osgb:directedNode", '+', grade, TKind::PathNode, Plan, links[i].To);
        w.End(kPathLinkTag);
    }
    Counts.PathLinks += links.size();

    for (uint32_t p = 0; p < nodeCount; ++p) {
        const uint64_t key = hash(THashSalt::PathNet, t, (uint64_t{2} << 40) | p);
        w.Start(kPathNodeTag, TKind::PathNode, Plan, p);
        w.Preamble(VersionOf(key), key);
        w.Text("osgb:descriptiveGroup", "Path");
        w.PointProperty(nodePoint(p));
        w.End(kPathNodeTag);
    }
    Counts.PathNodes += nodeCount;

    // Connecting nodes on road links of the tile: mostly inside a segment, some on an inner
    // vertex, a few on an end vertex; connecting links join them to the path network.
    const uint64_t connecting = std::max<uint64_t>(1, (u + 2) / 4);
    const uint32_t linkCount = static_cast<uint32_t>(Plan.Links.size());
    struct TConnection {
        uint32_t PathNode;
        bool Departed;
    };
    std::vector<TConnection> connections;
    uint32_t previousLink = 0;
    for (uint32_t q = 0; q < connecting; ++q) {
        TStream r(hash(THashSalt::Connect, t, q));
        uint32_t k = static_cast<uint32_t>(r.Next() % linkCount);
        if (config.Fixture && q == 1) k = previousLink;  // two connecting nodes on one link
        for (uint32_t tries = 0; tries < linkCount; ++tries, k = (k + 1) % linkCount) {
            if (!Plan.LinkDeparted[k] && !(Plan.Links[k].Flags & lfLoop)) break;
        }
        if (Plan.LinkDeparted[k] || (Plan.Links[k].Flags & lfLoop)) break;
        previousLink = k;
        Plan.LinkPoints(k, pts);
        TPoint at;
        const uint64_t variant = r.Next() % 100;
        if (variant < 85 || pts.size() == 2) {
            const size_t seg = r.Next() % (pts.size() - 1);
            const int64_t eighths = r.Range(1, 7);
            at = {(pts[seg].X + (pts[seg + 1].X - pts[seg].X) * eighths / 8) / 10 * 10,
                  (pts[seg].Y + (pts[seg + 1].Y - pts[seg].Y) * eighths / 8) / 10 * 10};
        } else if (variant < 95) {
            at = pts[1 + r.Next() % (pts.size() - 2)];
        } else {
            at = (variant % 2) ? pts.front() : pts.back();
        }
        const uint64_t key = r.Next();
        w.Start(kConnectingNodeTag, TKind::ConnectingNode, Plan, q);
        w.Preamble(VersionOf(key), key);
        w.O.Lit("<osgb:referenceToITN");
        w.Href(TKind::RoadLink, Plan, k);
        w.PointProperty(at);
        w.End(kConnectingNodeTag);
        const uint32_t anchor = Plan.Links[k].From;
        const uint32_t cell = anchor / static_cast<uint32_t>(config.LatticeWidth) * wp +
                              std::min(anchor % static_cast<uint32_t>(config.LatticeWidth), wp - 1);
        const bool gone = departed(2, q, 0.002) || (config.Fixture && q + 1 == connecting && q > 1);
        connections.push_back({cell % nodeCount, gone});
    }
    Counts.ConnectingNodes += connections.size();

    for (uint32_t q = 0; q < connections.size(); ++q) {
        const uint64_t key = hash(THashSalt::Connect, t, (uint64_t{1} << 40) | q);
        const bool reversed = key % 10 < 3;
        w.Start(kConnectingLinkTag, TKind::ConnectingLink, Plan, q);
        w.Preamble(VersionOf(key), key);
        w.Text("osgb:descriptiveGroup", "Path");
        if (reversed) w.Directed("osgb:directedNode", '-', -1, TKind::ConnectingNode, Plan, q);
        w.Directed("osgb:directedNode", reversed ? '+' : '-', -1, TKind::PathNode, Plan, connections[q].PathNode);
        if (!reversed) w.Directed("osgb:directedNode", '+', -1, TKind::ConnectingNode, Plan, q);
        w.End(kConnectingLinkTag);
    }
    Counts.ConnectingLinks += connections.size();

    uint64_t infos = 0;
    for (uint32_t i = 0; i < links.size(); ++i) {
        const uint64_t key = hash(THashSalt::PathInfo, t, i);
        if (key % 100 >= 20 && !(config.Fixture && i == 0)) continue;
        w.Start(kPathInfoTag, TKind::PathLinkInformation, Plan, infos++);
        w.Preamble(VersionOf(key >> 8), key);
        w.O.Lit("<osgb:environmentQualifier>");
        w.Text("osgb:classification", kPathClassifications[(key >> 16) % kPathClassificationCount]);
        w.O.Lit("</osgb:environmentQualifier><osgb:referenceToPathLink");
        w.Href(TKind::PathLink, Plan, i);
        w.End(kPathInfoTag);
    }
    Counts.PathLinkInfo += infos;

    for (uint32_t i = 0; i < links.size(); ++i) {
        if (!(departed(1, i, 0.005) || (config.Fixture && i == 2))) continue;
        w.Departed(TKind::PathLink, Plan, i, hash(THashSalt::Departed, t, i));
        ++Counts.UrbanDeparted;
    }
    for (uint32_t q = 0; q < connections.size(); ++q) {
        if (!connections[q].Departed) continue;
        w.Departed(TKind::ConnectingNode, Plan, q, hash(THashSalt::Departed, t, q));
        ++Counts.UrbanDeparted;
    }
}

}  // namespace gen_itn
