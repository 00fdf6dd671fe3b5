#include "cli/progress_bar.h"

#include <algorithm>
#include <filesystem>

namespace itn {

namespace {
constexpr int kBarWidth = 30;
}

void TProgressBar::ShowPhase(const std::string& Text) {
    Finish();
    FPhase = Text;
    FErr << Text << '\n' << std::flush;
}

void TProgressBar::StartFile(const std::string& FileName, int64_t Size) {
    Finish();
    FFile = std::filesystem::path(FileName).filename().string();
    FSize = Size;
    FShown = -1;
    Draw(0);
}

void TProgressBar::Advance(int64_t Position) {
    if (FSize <= 0 || !FLineOpen) return;
    const int percent = static_cast<int>(std::clamp<int64_t>(Position * 100 / FSize, 0, 100));
    if (percent != FShown) Draw(percent);
}

void TProgressBar::Finish() {
    if (FLineOpen) {
        FErr << '\n' << std::flush;
        FLineOpen = false;
    }
}

void TProgressBar::Draw(int Percent) {
    FShown = Percent;
    const int filled = Percent * kBarWidth / 100;
    std::string line = "\r  [";
    line.append(filled, '#');
    line.append(kBarWidth - filled, '.');
    line += "] ";
    const std::string number = std::to_string(Percent);
    line.append(3 - std::min<size_t>(3, number.size()), ' ');
    line += number + "%  " + FFile;
    FErr << line << std::flush;
    FLineOpen = true;
}

}  // namespace itn
