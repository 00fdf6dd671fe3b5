#include "io/text_file_writer.h"

namespace itn {

TTextFileWriter::TTextFileWriter(const std::string& filename, int Codepage, bool BOM)
    : FFileName(filename), FCodepage(static_cast<uint16_t>(Codepage)), FEncoder(static_cast<uint16_t>(Codepage)) {
    auto* file = new TBLFileStream(filename, fmCreate);
    f = std::make_unique<TBLBufferedStream>(file, true);
    if (FCodepage == kCodepageUtf8 && BOM) {
        static const unsigned char kBom[3] = {0xEF, 0xBB, 0xBF};
        f->Write(kBom, 3);
    }
}

TTextFileWriter::~TTextFileWriter() = default;

void TTextFileWriter::write(std::string_view s) {
    if (s.empty() || !f) return;
    if (IsAscii(s)) {  // the common case: no conversion, no copy
        f->Write(s.data(), static_cast<int32_t>(s.size()));
        return;
    }
    FScratch.clear();
    FEncoder.EncodeAppend(s, FScratch);
    f->Write(FScratch.data(), static_cast<int32_t>(FScratch.size()));
}

void TTextFileWriter::writeln(std::string_view s) {
    write(s);
    if (f) f->WriteUInt16(0x0A0D);
}

void TTextFileWriter::Close() {
    if (!f) return;
    // Release the stream even when the write-back fails, so the file is not left open.
    std::unique_ptr<TBLBufferedStream> stream = std::move(f);
    stream->Close();
}

}  // namespace itn
