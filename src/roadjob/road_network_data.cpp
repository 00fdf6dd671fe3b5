#include "roadjob/road_network_data.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <limits>
#include <stdexcept>

#include "input/gz_input.h"
#include "input/native_xml.h"
#include "input/xml_errors.h"
#include "input/xml_input.h"
#include "io/errors.h"
#include "io/streams.h"
#include "roadjob/file_prefetch.h"
#include "roadjob/line_location.h"
#include "urban/urban_links.h"

namespace itn {

const char* const kBritishNationalGridCoordSys =
    "CoordSys Earth Projection 8, 79, \"m\", -2, 49, 0.9996012717, 400000, -100000 Bounds "
    "(-7845061.1011, -15524202.1641) (8645061.1011, 4470074.53373)";

const char* const kBritishNationalGridPRJ =
    "PROJCS[\"British_National_Grid\",GEOGCS[\"GCS_OSGB_1936\",DATUM[\"D_OSGB_1936\",SPHEROID[\"Airy_1830\","
    "6377563.396,299.3249646]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]],"
    "PROJECTION[\"Transverse_Mercator\"],PARAMETER[\"False_Easting\",400000.0],"
    "PARAMETER[\"False_Northing\",-100000.0],PARAMETER[\"Central_Meridian\",-2.0],"
    "PARAMETER[\"Scale_Factor\",0.999601272],PARAMETER[\"Latitude_Of_Origin\",49.0],UNIT[\"Meter\",1.0]]";

namespace {

// Nearest integer, a half to the even neighbour, kept within 32 bits.
int32_t RoundHalfEven(double x) {
    const double r = std::nearbyint(x);
    if (!(r > std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    if (r > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

TGISFormat WriterFormat(int32_t OutputFormat) {
    switch (OutputFormat) {
        case 1: return gfSHP;
        case 2: return gfMITAB;
        case 3: return gfGML2;
        case 4: return gfKML2;
        case 5: return gfGeoJSON;
        case 6: return gfCSV;
        default: return gfMIF;
    }
}

}  // namespace

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

TRoadNetworkData::TRoadNetworkData() = default;
TRoadNetworkData::~TRoadNetworkData() = default;

void TRoadNetworkData::AddMessage(const std::string& Line) {
    if (FEvents.AddMessage) FEvents.AddMessage(EscapeControlCharacters(Line));
}

void TRoadNetworkData::CheckStop() const {
    if (FOptions.Stop && FOptions.Stop->load(std::memory_order_relaxed)) throw EStopped();
}

void TRoadNetworkData::ClearFerryLists() {
    fFerryNodeDataList.Clear();
    fFerryLinkDataList.Clear();
}

void TRoadNetworkData::ReadConnectingNodes() {
    ConnectingNodePoints.clear();
    ConnectingNodeIndex = TConnectingNodeIndex();
    TUrbanLinks* urban = FOptions.UrbanPathData;
    const int32_t n = urban ? urban->ConnectingNodeCount() : 0;
    ConnectingNodePoints.reserve(n);
    for (int32_t i = 0; i < n; ++i) {
        const TConnectingNodeInformation& node = urban->ConnectingNode(i);
        ConnectingNodePoints.push_back(ParseCoordPair(node.Coords));
        ConnectingNodeIndex.Add(node.RefToItn, i);
    }
    ConnectingNodeIndex.Sort();
}

void TRoadNetworkData::ConvertRoads(const TRoadJobOptions& Options, const TRoadJobEvents& Events) {
    Output.reset();
    FOptions = Options;
    FEvents = Events;
    InputIdentities.Clear();
    ClearFerryLists();
    ReadConnectingNodes();

    // Phase 1: versions, departed features, vehicle vocabularies.
    if (FEvents.ShowPhase) FEvents.ShowPhase("Phase 1 / 3");
    Phase1Tables.Create();
    Phase1Tables.VersionList->Reserve(ExpectedFeatures());
    Phase1 = std::make_unique<TPhase1Collector>(Phase1Tables);
    RunPhase(1, &TRoadNetworkData::Phase1NodeNew, &TRoadNetworkData::Phase1NodeLoaded);
    Phase1.reset();
    VehicleUseList = TVehicleVocabulary(*Phase1Tables.VehicleUseNames);
    VehicleTypeList = TVehicleVocabulary(*Phase1Tables.VehicleTypeNames);
    Phase1Tables.VehicleUseNames.reset();
    Phase1Tables.VehicleTypeNames.reset();

    // Phase 2: what other features say about road links.
    if (FEvents.ShowPhase) FEvents.ShowPhase("Phase 2 / 3");
    SkipFeature = false;
    Phase2Tables.Create(FOptions.TurnRestrictions && FOptions.UrbanPathsPresent);
    RoadLinkDataIndex.Clear();
    NextRecordForLink.clear();
    TurnCoords.reset();
    if (Phase2Tables.TurnLinkSet) TurnCoords = NewHashedList<TTurnCoord>();
    Phase2Inputs = TPhase2Inputs{Phase1Tables.VersionList.get(), Phase1Tables.DepartedFeatures.get(), &VehicleUseList,
                                 &VehicleTypeList, FOptions.TurnRestrictions, FOptions.MaxHeightUnit};
    Phase2 = std::make_unique<TPhase2Collector>(Phase2Inputs, Phase2Tables);
    RunPhase(2, &TRoadNetworkData::Phase2NodeNew, &TRoadNetworkData::Phase2NodeLoaded);
    Phase2.reset();
    BuildRoadLinkDataIndex();

    SaveVehicleVocabulary(VehicleUseList, FOptions.OutputFolder + "VehicleUse.txt", FOptions.Codepage);
    SaveVehicleVocabulary(VehicleTypeList, FOptions.OutputFolder + "VehicleType.txt", FOptions.Codepage);

    // The writer and the table, then the urban links as the first records.
    if (FEvents.ShowPhase) FEvents.ShowPhase("Phase 3 / 3");
    SkipFeature = false;
    Writer = TGISWrite::GetGISObject(WriterFormat(FOptions.OutputFormat));
    Writer->SetCodepage(FOptions.Codepage);
    Writer->FileName = FOptions.OutputFolder + "ITN_network";
    if (FOptions.OutputTransform) {
        // The writer's default CoordSys and PRJ texts are those of WGS 84, the only target used.
        Writer->Transform = FOptions.OutputTransform;
        Writer->epsg = FOptions.OutputTransform->TargetEpsg();
    } else {
        Writer->epsg = 27700;
        Writer->CoordSys = kBritishNationalGridCoordSys;
        Writer->PRJ = kBritishNationalGridPRJ;
    }
    DefineNetworkTable();
    LinkIdList = NewSortedList<int32_t>();
    LinkIdList->Reserve(Phase1Tables.VersionList->Count() / 2);
    DefaultVehicleUseString = MakeDefaultVehicleString(VehicleUseList.Count());
    DefaultVehicleTypeString = MakeDefaultVehicleString(VehicleTypeList.Count());
    IdCounter = 0;
    if (FOptions.UrbanPathData) {
        IdCounter = FOptions.UrbanPathData->WriteGisFile(*Writer, FOptions.Attribute2, FOptions.AttributeC,
                                                         FOptions.Attribute4, FOptions.AvoidPattern,
                                                         DefaultVehicleUseString, DefaultVehicleTypeString);
    }

    // Phase 3: the road links, then the ferry links.
    Output = std::make_unique<TAsyncFeatureWriter>(*Writer);
    try {
        RunPhase(3, &TRoadNetworkData::Phase3NodeNew, &TRoadNetworkData::Phase3NodeLoaded);
        WriteFerryLinks();
        Output->Finish();
    } catch (...) {
        Output.reset();
        throw;
    }
    Output.reset();
    if (FEvents.HidePhase) FEvents.HidePhase();
    Writer->Close();
    if (!Writer->DroppedCharactersIn().empty() && FEvents.Warning) {
        FEvents.Warning(EscapeControlCharacters(
            "characters that XML does not allow were left out of the output, first in feature " +
            Writer->DroppedCharactersIn()));
    }
    Writer.reset();
    FreeTables();

    if (FOptions.TurnRestrictions) {
        WriteTurnFile(FOptions.OutputFolder + "turn.txt", FOptions.Codepage, Phase2Tables.Turns, FOptions.UrbanPathsPresent,
                      TurnCoords.get());
    }
    Phase2Tables.Turns = TTurnRestrictions();
    Phase2Tables.TurnLinkSet.reset();
    TurnCoords.reset();
    LinkIdList.reset();
    Phase2Tables.RoadLinkDataList.clear();
    RoadLinkDataIndex.Clear();
    NextRecordForLink.clear();
    ClearFerryLists();
}

void TRoadNetworkData::FreeTables() {
    VehicleUseList = TVehicleVocabulary();
    VehicleTypeList = TVehicleVocabulary();
    Phase2Tables.OnewayList.reset();
    Phase2Tables.RoadNameList = TPlainList();
    Phase2Tables.RoadNumberList = TPlainList();
    Phase1Tables.DepartedFeatures.reset();
    Phase2Tables.RoadList.reset();
    Phase2Tables.HeightList.reset();
    Phase1Tables.VersionList.reset();
    LinkPoints = TFloatPointArrayEx();
    PiecePoints = TFloatPointArrayEx();
}

size_t TRoadNetworkData::ExpectedFeatures() const {
    // ITN road files hold roughly one feature per kilobyte; gzip shrinks them more than ten
    // times. Only a first reservation: the tables grow as needed.
    uint64_t bytes = 0;
    for (const std::string& file : FOptions.RoadFiles) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(file, ec);
        if (!ec) bytes += IsGzFileName(file) ? size * 10 : size;
    }
    return static_cast<size_t>(std::min<uint64_t>(bytes / 1024, 16'000'000));
}

void TRoadNetworkData::RunPhase(int Phase, TNodeHandler NodeNew, TNodeHandler NodeLoaded) {
    TNativeXml reader;
    reader.EncodingString = "UTF-8";
    if (FEvents.XmlProgress) reader.OnProgress = FEvents.XmlProgress;
    reader.OnNodeNew = [this, NodeNew](TNativeXml& Sender, TXmlNode& Node) { (this->*NodeNew)(Sender, Node); };
    reader.OnNodeLoaded = [this, NodeLoaded](TNativeXml& Sender, TXmlNode& Node) {
        CheckStop();
        (this->*NodeLoaded)(Sender, Node);
    };
    ReadRoadFiles(Phase, reader);
}

void TRoadNetworkData::ReadRoadFiles(int Phase, TNativeXml& Reader) {
    const int32_t n = static_cast<int32_t>(FOptions.RoadFiles.size());
    // Phases 1 and 2 read the next file on a second thread, into tables of its own,
    // while this one is read here; the tables are merged in file order, which gives the same
    // result as reading the files in turn. An error of that file is raised at its turn.
    TPhase1Tables prefetched1;
    int64_t prefetchedRoadFeatures = 0;
    TPhase2Tables prefetched2;
    // Where the second thread has got to in its file; reported here when that file's turn comes.
    std::atomic<int32_t> prefetchedProgress{0};
    TFilePrefetch prefetch;  // after the tables its thread fills, so that it ends before them
    for (int32_t i = 0; i < n; ++i) {
        if (FEvents.SelectRoadFile) FEvents.SelectRoadFile(i);
        AddMessage(std::to_string(i + 1) + " / " + std::to_string(n));
        LastDepth = 0;
        if (Phase2) Phase2->StartFile();
        const std::string& file = FOptions.RoadFiles[i];
        if (prefetch.Holds(i)) {
            if (FEvents.PrepareProgress) FEvents.PrepareProgress(file);
            auto report = [&] {
                if (FEvents.XmlProgress) FEvents.XmlProgress(Reader, prefetchedProgress.load(std::memory_order_relaxed));
            };
            report();
            prefetch.Wait([&] {
                report();
                if (FEvents.KeepResponsive) FEvents.KeepResponsive();
            });
            report();
            if (Phase == 1) {
                Phase1Tables.Merge(prefetched1);
                if (prefetchedRoadFeatures == 0) WarnNoRoadFeatures(file);
            }
            if (Phase == 2) Phase2Tables.Merge(std::move(prefetched2));
            continue;
        }
        if (Phase < 3 && i + 1 < n) {
            const std::string next = FOptions.RoadFiles[i + 1];
            prefetchedProgress = 0;
            auto progress = [&prefetchedProgress](int32_t Position) {
                prefetchedProgress.store(Position, std::memory_order_relaxed);
            };
            if (Phase == 1) {
                prefetched1.Create();
                prefetch.Start(i + 1, [this, next, progress, &prefetched1, &prefetchedRoadFeatures] {
                    TPhase1Collector collector(prefetched1);
                    ReadWith(next, [&collector](TXmlNode& Node) { collector.NodeNew(Node); },
                             [&collector](TXmlNode& Node) { collector.NodeLoaded(Node); }, progress);
                    prefetchedRoadFeatures = collector.RoadFeatures();
                });
            } else {
                prefetched2.Create(Phase2Tables.TurnLinkSet != nullptr);
                prefetch.Start(i + 1, [this, next, progress, &prefetched2] {
                    TPhase2Collector collector(Phase2Inputs, prefetched2);
                    ReadWith(next, [&collector](TXmlNode& Node) { collector.NodeNew(Node); },
                             [&collector](TXmlNode& Node) { collector.NodeLoaded(Node); }, progress);
                });
            }
        }
        if (Phase1) Phase1->ResetRoadFeatures();
        ReadFile(Reader, file);
        if (Phase1 && Phase1->RoadFeatures() == 0) WarnNoRoadFeatures(file);
    }
}

void TRoadNetworkData::WarnNoRoadFeatures(const std::string& FileName) {
    if (FEvents.Warning) FEvents.Warning("No ITN road features found in " + FileName);
}

void TRoadNetworkData::ReadWith(const std::string& FileName, const std::function<void(TXmlNode&)>& NodeNew,
                                const std::function<void(TXmlNode&)>& NodeLoaded,
                                const std::function<void(int32_t)>& Progress) {
    TNativeXml reader;
    reader.EncodingString = "UTF-8";
    reader.OnNodeNew = [&NodeNew](TNativeXml&, TXmlNode& Node) { NodeNew(Node); };
    reader.OnNodeLoaded = [this, &NodeLoaded](TNativeXml&, TXmlNode& Node) {
        CheckStop();
        NodeLoaded(Node);
    };
    reader.OnProgress = [&Progress](TNativeXml&, int32_t Position) { Progress(Position); };
    LoadChecked(reader, FileName);
}

void TRoadNetworkData::LoadChecked(TNativeXml& Reader, const std::string& FileName) {
    Reader.OnFileOpened = [this, &FileName](int Handle) { InputIdentities.Check(FileName, Handle); };
    // The file's name, line and column after the reader's own text.
    auto place = [&](const char* Text) {
        int64_t line = 0, column = 0;
        std::string where = std::filesystem::path(FileName).filename().string();
        try {
            xml::LineAndColumn(FileName, Reader.ErrorPosition(), line, column);
            where += ", line " + std::to_string(line) + ", column " + std::to_string(column);
        } catch (const std::exception&) {
            // The file cannot be read again: its name alone still says where.
        }
        return EscapeControlCharacters(Text) + " (" + EscapeControlCharacters(where) + ")";
    };
    try {
        Reader.LoadFromFile(FileName);
    } catch (const EXmlConvertError& e) {
        throw EXmlConvertError(place(e.what()));
    } catch (const EXmlParseError& e) {
        throw EXmlParseError(place(e.what()));
    } catch (const EVehicleRestrictionError& e) {
        throw EVehicleRestrictionError(place(e.what()));
    }
}

void TRoadNetworkData::ReadFile(TNativeXml& Reader, const std::string& FileName) {
    // A .gz file is inflated as it is read: nothing is written beside it.
    if (FEvents.PrepareProgress) FEvents.PrepareProgress(FileName);
    LoadChecked(Reader, FileName);
}

}  // namespace itn
