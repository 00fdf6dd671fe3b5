#include "roadjob/async_feature_writer.h"

#include "roadjob/line_location.h"

namespace itn {

namespace {
constexpr size_t kBatchRecords = 2048;
constexpr size_t kMaxQueued = 4;
}  // namespace

TAsyncFeatureWriter::TAsyncFeatureWriter(TGISWrite& Writer)
    : FWriter(Writer), FCurrent(std::make_unique<TBatch>()) {
    FThread = std::thread([this] { Run(); });
}

TAsyncFeatureWriter::~TAsyncFeatureWriter() {
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FStop = true;
    }
    FChanged.notify_all();
    if (FThread.joinable()) FThread.join();
}

void TAsyncFeatureWriter::Add(std::string_view Text, const TFloatPoint* Points, int32_t Count) {
    TBatch& b = *FCurrent;
    b.Texts.append(Text);
    b.TextEnds.push_back(static_cast<uint32_t>(b.Texts.size()));
    if (Count > 0) b.Points.insert(b.Points.end(), Points, Points + Count);
    b.PointEnds.push_back(static_cast<uint32_t>(b.Points.size()));
    b.CoordinateEnds.push_back(static_cast<uint32_t>(b.Coordinates.size()));
    if (b.TextEnds.size() >= kBatchRecords) Submit();
}

void TAsyncFeatureWriter::AddCoordinates(std::string_view Text, std::string_view Coordinates) {
    TBatch& b = *FCurrent;
    b.Texts.append(Text);
    b.TextEnds.push_back(static_cast<uint32_t>(b.Texts.size()));
    b.PointEnds.push_back(static_cast<uint32_t>(b.Points.size()));
    // A separator keeps an empty coordinate text apart from "no coordinate text".
    b.Coordinates += ' ';
    b.Coordinates.append(Coordinates);
    b.CoordinateEnds.push_back(static_cast<uint32_t>(b.Coordinates.size()));
    if (b.TextEnds.size() >= kBatchRecords) Submit();
}

void TAsyncFeatureWriter::Submit() {
    std::unique_lock<std::mutex> lock(FMutex);
    FChanged.wait(lock, [this] { return FQueue.size() < kMaxQueued || FError; });
    if (FError) std::rethrow_exception(FError);
    FQueue.push_back(std::move(FCurrent));
    if (FFree.empty()) {
        FCurrent = std::make_unique<TBatch>();
    } else {
        FCurrent = std::move(FFree.back());
        FFree.pop_back();
    }
    lock.unlock();
    FChanged.notify_all();
}

void TAsyncFeatureWriter::Finish() {
    if (!FCurrent->TextEnds.empty()) Submit();
    {
        std::unique_lock<std::mutex> lock(FMutex);
        FChanged.notify_all();
        FChanged.wait(lock, [this] { return FQueue.empty() || FError; });
        FStop = true;
    }
    FChanged.notify_all();
    if (FThread.joinable()) FThread.join();
    RaiseIfFailed();
}

void TAsyncFeatureWriter::RaiseIfFailed() {
    std::lock_guard<std::mutex> lock(FMutex);
    if (FError) std::rethrow_exception(FError);
}

void TAsyncFeatureWriter::Run() {
    while (true) {
        std::unique_ptr<TBatch> batch;
        {
            std::unique_lock<std::mutex> lock(FMutex);
            FChanged.wait(lock, [this] { return !FQueue.empty() || FStop; });
            if (FQueue.empty() || FStop) return;
            batch = std::move(FQueue.front());
            FQueue.pop_front();
        }
        FChanged.notify_all();
        try {
            Write(*batch);
        } catch (...) {
            std::lock_guard<std::mutex> lock(FMutex);
            FError = std::current_exception();
            FQueue.clear();
            FChanged.notify_all();
            return;
        }
        batch->Clear();
        {
            std::lock_guard<std::mutex> lock(FMutex);
            FFree.push_back(std::move(batch));
        }
        FChanged.notify_all();
    }
}

void TAsyncFeatureWriter::Write(const TBatch& Batch) {
    uint32_t textStart = 0, pointStart = 0, coordinateStart = 0;
    for (size_t i = 0; i < Batch.TextEnds.size(); ++i) {
        const uint32_t textEnd = Batch.TextEnds[i];
        const uint32_t pointEnd = Batch.PointEnds[i];
        const uint32_t coordinateEnd = Batch.CoordinateEnds[i];
        FWriter.AddObject(1, false, Batch.Texts.substr(textStart, textEnd - textStart));
        if (coordinateEnd != coordinateStart) {
            ParseCoordinates(std::string_view(Batch.Coordinates).substr(coordinateStart, coordinateEnd - coordinateStart),
                             FSection);
        } else {
            FSection.Pnt.assign(Batch.Points.begin() + pointStart, Batch.Points.begin() + pointEnd);
            FSection.Count = static_cast<int32_t>(pointEnd - pointStart);
        }
        FWriter.AddSection(1, FSection);
        textStart = textEnd;
        pointStart = pointEnd;
        coordinateStart = coordinateEnd;
    }
}

}  // namespace itn
