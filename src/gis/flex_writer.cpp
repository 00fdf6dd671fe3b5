#include "gis/flex_writer.h"

#include "io/codepage.h"

namespace itn {

TFlexWriter::TFlexWriter(const std::string& filename) : fFileStyle(!filename.empty()) {
    if (fFileStyle) f = std::make_unique<TTextFileWriter>(filename, kCodepageUtf8, false);
}

TFlexWriter::~TFlexWriter() {
    // Reached without Close only when the output is being abandoned (an error is already on
    // its way): what is left is written if it can be, and a failure must not end the process.
    if (f && !SB.empty()) {
        try {
            f->write(SB);
        } catch (...) {
        }
    }
}

void TFlexWriter::append(std::string_view s) {
    SB.append(s);
    if (f && SB.size() >= kFlushSize) {
        f->write(SB);
        SB.clear();
    }
}

void TFlexWriter::clear() {
    if (!fFileStyle) SB.clear();
}

std::string TFlexWriter::ToString() const { return fFileStyle ? std::string() : SB; }

void TFlexWriter::Close() {
    if (!f) return;
    std::unique_ptr<TTextFileWriter> file = std::move(f);
    file->write(SB);
    SB.clear();
    file->Close();
}

}  // namespace itn
