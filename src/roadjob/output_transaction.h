// The output set of one run as a unit: the run holds a lock on the output folder, its writers
// write into a work folder inside it, and only a completed run moves the files onto their
// final names. A failed or stopped run removes the work folder, so the files of an earlier
// run stay as they were and nothing half-written lies beside them.
#pragma once

#include <string>

namespace itn {

class TOutputTransaction {
public:
    // Locks OutputFolder (with trailing separator, or empty for the current folder), removes
    // work folders that earlier runs left when they were killed, and creates this run's one.
    // Raises std::runtime_error when another run holds the folder or the folder cannot be used.
    explicit TOutputTransaction(const std::string& OutputFolder);
    // Without Commit, removes the work folder with everything in it. Never raises.
    ~TOutputTransaction();
    TOutputTransaction(const TOutputTransaction&) = delete;
    TOutputTransaction& operator=(const TOutputTransaction&) = delete;

    // The folder the writers write into (with trailing separator).
    const std::string& WorkFolder() const { return FWorkFolder; }
    const std::string& OutputFolder() const { return FOutputFolder; }

    // Moves every file of the work folder onto its name in the output folder (a symbolic
    // link there is replaced, not written through) and removes the work folder. Raises when a
    // file cannot be moved.
    void Commit();
    // Removes the work folder and what it holds.
    void Rollback() noexcept;

    // Text with the work folder's path replaced by the output folder's, so that messages of
    // the writers name the final files.
    std::string FinalNames(const std::string& Text) const;

private:
    std::string FOutputFolder;
    std::string FWorkFolder;
    int FLockHandle = -1;
    bool FDone = false;
};

}  // namespace itn
