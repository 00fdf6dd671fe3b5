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
#include "roadjob/async_feature_writer.h"
#include "roadjob/file_prefetch.h"
#include "roadjob/line_location.h"
#include "roadjob/phase1_collect.h"
#include "roadjob/phase2_link_info.h"
#include "roadjob/phase3_output.h"
#include "roadjob/turn_file.h"
#include "roadjob/vehicle_encoding.h"
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

TRoadNetworkData::TRoadNetworkData() = default;
TRoadNetworkData::~TRoadNetworkData() = default;

void TRoadNetworkData::AddMessage(const std::string& Line) {
    if (FEvents.AddMessage) FEvents.AddMessage(EscapeControlCharacters(Line));
}

void TRoadNetworkData::CheckStop() const {
    if (FOptions.Stop && FOptions.Stop->load(std::memory_order_relaxed)) throw EStopped();
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
    FOptions = Options;
    FEvents = Events;
    InputIdentities.Clear();
    ReadConnectingNodes();

    // Phase 1: versions, departed features, vehicle vocabularies.
    if (FEvents.ShowPhase) FEvents.ShowPhase("Phase 1 / 3");
    auto phase1 = std::make_unique<TPhase1Pass>(ExpectedFeatures());
    RunPhase(*phase1);
    phase1->Finish();

    // Phase 2: what other features say about road links.
    if (FEvents.ShowPhase) FEvents.ShowPhase("Phase 2 / 3");
    const TPhase2Inputs inputs{&phase1->Versions(),    &phase1->DepartedFeatures(), &phase1->VehicleUses(),
                               &phase1->VehicleTypes(), FOptions.TurnRestrictions,   FOptions.MaxHeightUnit};
    auto phase2 = std::make_unique<TPhase2Pass>(inputs, FOptions.TurnRestrictions && FOptions.UrbanPathsPresent);
    RunPhase(*phase2);

    SaveVehicleVocabulary(phase1->VehicleUses(), FOptions.OutputFolder + "VehicleUse.txt", FOptions.Codepage);
    SaveVehicleVocabulary(phase1->VehicleTypes(), FOptions.OutputFolder + "VehicleType.txt", FOptions.Codepage);

    // The writer and the table, then the urban links as the first records.
    if (FEvents.ShowPhase) FEvents.ShowPhase("Phase 3 / 3");
    auto phase3 = std::make_unique<TPhase3Pass>(
        TPhase3Inputs{&FOptions, phase1.get(), &phase2->Tables(), &ConnectingNodePoints, &ConnectingNodeIndex,
                      [this](const std::string& Line) { AddMessage(Line); }});
    std::unique_ptr<TGISWrite> writer = OpenWriter();
    phase3->DefineNetworkTable(*writer);
    int32_t recordsBefore = 0;
    if (FOptions.UrbanPathData) {
        recordsBefore = FOptions.UrbanPathData->WriteGisFile(
            *writer, FOptions.Attribute2, FOptions.AttributeC, FOptions.Attribute4, FOptions.AvoidPattern,
            phase3->DefaultVehicleUseString(), phase3->DefaultVehicleTypeString());
    }

    // Phase 3: the road links, then the ferry links.
    {
        TAsyncFeatureWriter output(*writer);
        phase3->Start(output, recordsBefore);
        RunPhase(*phase3);
        phase3->WriteFerryLinks();
        output.Finish();
    }
    if (FEvents.HidePhase) FEvents.HidePhase();
    writer->Close();
    if (!writer->DroppedCharactersIn().empty() && FEvents.Warning) {
        FEvents.Warning(EscapeControlCharacters(
            "characters that XML does not allow were left out of the output, first in feature " +
            writer->DroppedCharactersIn()));
    }
    writer.reset();

    if (FOptions.TurnRestrictions) {
        // Only the turns and the end points of their links are still needed.
        TTurnRestrictions turns = std::move(phase2->Tables().Turns);
        std::unique_ptr<TStringList<TTurnCoord>> turnCoords = phase3->TakeTurnCoords();
        phase3.reset();
        phase2.reset();
        phase1.reset();
        WriteTurnFile(FOptions.OutputFolder + "turn.txt", FOptions.Codepage, turns, FOptions.UrbanPathsPresent,
                      turnCoords.get());
    }
}

std::unique_ptr<TGISWrite> TRoadNetworkData::OpenWriter() const {
    std::unique_ptr<TGISWrite> writer = TGISWrite::GetGISObject(FormatInfo(FOptions.OutputFormat).Writer);
    writer->SetCodepage(FOptions.Codepage);
    writer->FileName = FOptions.OutputFolder + "ITN_network";
    if (FOptions.OutputTransform) {
        // The writer's default CoordSys and PRJ texts are those of WGS 84, the only target used.
        writer->Transform = FOptions.OutputTransform;
        writer->epsg = FOptions.OutputTransform->TargetEpsg();
    } else {
        writer->epsg = 27700;
        writer->CoordSys = kBritishNationalGridCoordSys;
        writer->PRJ = kBritishNationalGridPRJ;
    }
    return writer;
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

void TRoadNetworkData::ConnectReader(TNativeXml& Reader, TRoadPass& Pass) const {
    Reader.EncodingString = "UTF-8";
    Reader.OnNodeNew = [&Pass](TNativeXml&, TXmlNode& Node) { Pass.NodeNew(Node); };
    Reader.OnNodeLoaded = [this, &Pass](TNativeXml&, TXmlNode& Node) {
        CheckStop();
        Pass.NodeLoaded(Node);
    };
}

void TRoadNetworkData::RunPhase(TRoadPass& Pass) {
    TNativeXml reader;
    ConnectReader(reader, Pass);
    if (FEvents.XmlProgress) reader.OnProgress = FEvents.XmlProgress;
    ReadRoadFiles(Pass, reader);
}

void TRoadNetworkData::ReadRoadFiles(TRoadPass& Pass, TNativeXml& Reader) {
    const int32_t n = static_cast<int32_t>(FOptions.RoadFiles.size());
    // A pass that can (phases 1 and 2) reads the next file on a second thread, into
    // tables of its own, while this one is read here; the tables are merged in file order,
    // which gives the same result as reading the files in turn. An error of that file is
    // raised at its turn.
    std::unique_ptr<TRoadPass> later;
    // Where the second thread has got to in its file; reported here when that file's turn comes.
    std::atomic<int32_t> laterProgress{0};
    TFilePrefetch prefetch;  // after the pass its thread fills, so that it ends before it
    for (int32_t i = 0; i < n; ++i) {
        if (FEvents.SelectRoadFile) FEvents.SelectRoadFile(i);
        AddMessage(std::to_string(i + 1) + " / " + std::to_string(n));
        const std::string& file = FOptions.RoadFiles[i];
        if (prefetch.Holds(i)) {
            if (FEvents.PrepareProgress) FEvents.PrepareProgress(file);
            auto report = [&] {
                if (FEvents.XmlProgress) FEvents.XmlProgress(Reader, laterProgress.load(std::memory_order_relaxed));
            };
            report();
            prefetch.Wait([&] {
                report();
                if (FEvents.KeepResponsive) FEvents.KeepResponsive();
            });
            report();
            if (!later->FileHeldRoadFeatures()) WarnNoRoadFeatures(file);
            Pass.MergeLater(*later);
            continue;
        }
        if (i + 1 < n) {
            // The previous later pass, if any, was merged at its turn.
            later = Pass.ForLaterFile();
            if (later) {
                const std::string next = FOptions.RoadFiles[i + 1];
                laterProgress = 0;
                auto progress = [&laterProgress](int32_t Position) {
                    laterProgress.store(Position, std::memory_order_relaxed);
                };
                prefetch.Start(i + 1, [this, next, progress, pass = later.get()] {
                    pass->StartFile();
                    ReadWith(next, *pass, progress);
                });
            }
        }
        Pass.StartFile();
        ReadFile(Reader, file);
        if (!Pass.FileHeldRoadFeatures()) WarnNoRoadFeatures(file);
    }
}

void TRoadNetworkData::WarnNoRoadFeatures(const std::string& FileName) {
    if (FEvents.Warning) FEvents.Warning("No ITN road features found in " + FileName);
}

void TRoadNetworkData::ReadWith(const std::string& FileName, TRoadPass& Pass,
                                const std::function<void(int32_t)>& Progress) {
    TNativeXml reader;
    ConnectReader(reader, Pass);
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
