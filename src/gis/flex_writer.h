// Text sink of the GeoJSON writer: a UTF-8 file (no byte order mark) when given a file name,
// otherwise a string builder whose text ToString returns.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "io/text_file_writer.h"

namespace itn {

class TFlexWriter {
public:
    explicit TFlexWriter(const std::string& filename);
    // Writes back what it can but swallows errors: call Close to complete the file.
    ~TFlexWriter();
    TFlexWriter(const TFlexWriter&) = delete;
    TFlexWriter& operator=(const TFlexWriter&) = delete;

    void append(std::string_view s);
    // Empties the builder; nothing in file style.
    void clear();
    // The builder's text; empty in file style.
    std::string ToString() const;
    // Completes and closes the file; raises when the text cannot be stored. Nothing in builder style.
    void Close();

    bool FileStyle() const { return fFileStyle; }

private:
    static constexpr size_t kFlushSize = 1 << 16;

    bool fFileStyle;
    std::unique_ptr<TTextFileWriter> f;
    std::string SB;  // the builder, or in file style the text not yet handed to f
};

}  // namespace itn
