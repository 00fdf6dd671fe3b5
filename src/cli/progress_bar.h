// The phase text and a one-line progress bar on a terminal, redrawn only when it changes.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace itn {

class TProgressBar {
public:
    explicit TProgressBar(std::ostream& Err) : FErr(Err) {}

    void ShowPhase(const std::string& Text);
    // Called before a file is read; Size in bytes.
    void StartFile(const std::string& FileName, int64_t Size);
    void Advance(int64_t Position);
    // Ends the current bar line.
    void Finish();

private:
    void Draw(int Percent);

    std::ostream& FErr;
    std::string FPhase;
    std::string FFile;
    int64_t FSize = 0;
    int FShown = -1;
    bool FLineOpen = false;
};

}  // namespace itn
