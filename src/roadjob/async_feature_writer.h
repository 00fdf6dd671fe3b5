// Hands polyline features to a GIS writer on a thread of its own, so that formatting and
// writing the output overlap the parsing of the next road links. Features are written in the
// order they were added; an error of the writer is raised again in the adding thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "gis/gis_writer.h"

namespace itn {

class TAsyncFeatureWriter {
public:
    explicit TAsyncFeatureWriter(TGISWrite& Writer);
    // Stops the thread; features not yet written are dropped (the run has failed then).
    ~TAsyncFeatureWriter();
    TAsyncFeatureWriter(const TAsyncFeatureWriter&) = delete;
    TAsyncFeatureWriter& operator=(const TAsyncFeatureWriter&) = delete;

    // One feature of one section: AddObject(1, false, Text), then AddSection(1, Points).
    void Add(std::string_view Text, const TFloatPoint* Points, int32_t Count);
    // The same with the section given as a GML coordinate text, parsed on the writing thread.
    void AddCoordinates(std::string_view Text, std::string_view Coordinates);
    // Writes everything added so far and ends the thread; raises the writer's error if any.
    void Finish();

private:
    struct TBatch {
        std::string Texts;
        std::vector<uint32_t> TextEnds;
        std::vector<TFloatPoint> Points;
        std::vector<uint32_t> PointEnds;
        std::string Coordinates;             // coordinate texts of the records that have one
        std::vector<uint32_t> CoordinateEnds;  // per record; equal to the previous end: points
        void Clear() {
            Texts.clear();
            TextEnds.clear();
            Points.clear();
            PointEnds.clear();
            Coordinates.clear();
            CoordinateEnds.clear();
        }
    };

    void Run();
    void Write(const TBatch& Batch);
    void Submit();
    void RaiseIfFailed();

    TGISWrite& FWriter;
    std::unique_ptr<TBatch> FCurrent;
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::deque<std::unique_ptr<TBatch>> FQueue;  // full batches, oldest first
    std::vector<std::unique_ptr<TBatch>> FFree;  // written batches for reuse
    bool FStop = false;
    std::exception_ptr FError;
    TFloatPointArrayEx FSection;
    std::thread FThread;
};

}  // namespace itn
