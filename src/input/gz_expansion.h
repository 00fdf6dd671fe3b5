// Expansion of gzip input files into plain GML next to them, for the readers that only read
// plain XML. An expansion never replaces or deletes a file that the run did not create: when
// the natural name is taken, a numbered name beside it is used instead.
#pragma once

#include <map>
#include <stdexcept>
#include <string>

namespace itn {

// A .gz input that is not in gzip format, is damaged or is truncated. The text names the file.
class EGzError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// True when the extension of the file name (from its last "." on) is exactly ".gz".
bool IsGzFileName(const std::string& FileName);

// FileName with its last extension replaced by ".gml": "tile.gz" -> "tile.gml",
// "tile.gml.gz" -> "tile.gml.gml"; a name without extension gets ".gml" appended.
std::string GmlNameFor(const std::string& FileName);

// Expands FileName next to itself under GmlNameFor(FileName), or, when a file of that name
// exists, under the first free alternative "<that name>.1.gml", "<that name>.2.gml", ...;
// returns the path written, complete and closed. Raises EGzError for bad gzip data (nothing
// is left behind), EFOpenError when the input cannot be opened, EFCreateError or EOSError when
// the output cannot be created or written.
std::string UnzipGzFile(const std::string& FileName);

// The expansions of one job run: remembers the name chosen for each .gz input so that every
// pass uses the same one, and deletes only files that this run created. The destructor deletes
// nothing, so after a failed run the expansions stay on disk.
class TGzExpansions {
public:
    // Expands GzFile (again) and returns the path. A file this run expanded earlier for the same
    // input is replaced; any other existing file is left alone and a free name is used instead.
    std::string Expand(const std::string& GzFile);
    // The name under which this run expanded GzFile, whether or not the file still exists.
    // Raises EGzError when the run has not expanded it.
    std::string KeptName(const std::string& GzFile) const;
    // Deletes this run's expansion of GzFile when it exists; does nothing otherwise.
    void Delete(const std::string& GzFile);

private:
    struct TEntry {
        std::string Name;     // path of the expansion
        bool OnDisk = false;  // created by this run and not deleted since
    };
    std::map<std::string, TEntry> FEntries;  // keyed by the input's absolute path
};

}  // namespace itn
