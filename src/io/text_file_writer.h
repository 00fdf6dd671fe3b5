// Writes UTF-8 strings to a new file in a chosen code page, with CR LF line ends and an
// optional UTF-8 byte order mark, through a 1 MiB write-back buffer.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "io/buffered_stream.h"
#include "io/codepage.h"

namespace itn {

class TTextFileWriter {
public:
    // Creates (or truncates) the file, opened exclusively. Only the low 16 bits of Codepage
    // count; BOM is honoured for UTF-8 (65001) only.
    TTextFileWriter(const std::string& filename, int Codepage, bool BOM);
    // Writes back what it can but swallows errors: call Close to complete the file.
    ~TTextFileWriter();
    TTextFileWriter(const TTextFileWriter&) = delete;
    TTextFileWriter& operator=(const TTextFileWriter&) = delete;

    void write(std::string_view s);
    void writeln(std::string_view s);
    void writeln() { writeln(std::string_view()); }

    // Flushes and closes the file; raises EWriteError when the data cannot be stored.
    void Close();

    uint16_t Codepage() const { return FCodepage; }
    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
    std::unique_ptr<TBLBufferedStream> f;
    uint16_t FCodepage;
    TCodepageEncoder FEncoder;
    std::string FScratch;
};

}  // namespace itn
