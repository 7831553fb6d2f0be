#include "WinLogFile.h"

#include <cstring>

#include "KorvexError.h"
#include "WinLogCSVRecord.h"

namespace korvex {

const char* const kBinarySignature = "RNSLOGFILE V1.00";

bool IsBinarySignature(const char* bytes, std::size_t size) {
    const std::size_t length = std::strlen(kBinarySignature);
    if (size < length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        char c = bytes[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != kBinarySignature[i]) return false;
    }
    return true;
}

TWinLogFile::TWinLogFile(const std::string& fileName) : FileName(fileName) { Identify(); }

TWinLogFile::TWinLogFile(FileImage image) : Stream_(std::make_unique<TBinaryStream>(std::move(image), 1)) {
    Identify();
}

void TWinLogFile::Identify() {
    try {
        Header_ = ReadHeader();
        // The signature text stops at its first NUL: only a whole signature counts.
        isWinLogFile_ = Header_.Signature.size() == std::strlen(kBinarySignature) &&
                        IsBinarySignature(Header_.Signature.data(), Header_.Signature.size());
    } catch (const KorvexError&) {
        // Only the log's own faults make it no binary log; running out of memory is no answer.
        isWinLogFile_ = false;
    }
}

TBinaryStream& TWinLogFile::Stream() {
    if (!Stream_) Stream_ = std::make_unique<TBinaryStream>(FileName, 1);
    return *Stream_;
}

LRHeader TWinLogFile::ReadHeader() {
    TBinaryStream& stream = Stream();
    LRHeader header;
    try {
        header.Read(stream, header.ExpectedLength());
    } catch (const KorvexError&) {
        // A header cut short still counts by its signature alone: it is a log with no records.
        isWinLogFile_ = false;
    }
    return header;
}

bool TWinLogFile::Eof() { return Stream().Eof(); }

TLogRecord& TWinLogFile::ReadRecord() {
    TBinaryStream& stream = Stream();
    recordStart_ = stream.GetPosition();
    std::int16_t type = stream.ReadSmallInt();
    std::uint16_t length = stream.ReadWord();
    TLogRecord& record = CreateRecord(type, length);
    record.Read(stream, length);
    return record;
}

void TWinLogFile::ConvertToCSV(const std::string& outputPath, const std::string& headerLine, bool skipPositionCheck,
                               bool skipReadingCheck) {
    if (!isWinLogFile_) return;
    FileLineSink sink(outputPath);
    ConvertTo(sink, headerLine, skipPositionCheck, skipReadingCheck);
}

namespace {

// The rows of one conversion: the row being collected, the two checks and where lines go.
class RowBuilder {
public:
    RowBuilder(LineSink& sink, bool skipPositionCheck, bool skipReadingCheck)
        : sink_(sink), skipPosition_(skipPositionCheck), skipReading_(skipReadingCheck) {}

    // A position record ends the row before it (when that row may be written) and starts one.
    void Apply(const LR0000& position) {
        if (!row_.PositionMissing() && row_.IsComplete(skipPosition_, skipReading_)) {
            WriteRow();
            row_.Clear();
        }
        row_.SetPosition(position.Latitude, position.Longitude, position.Altitude);
    }
    void Apply(const LR0020& record) { row_.SetNas(record.Nas); }
    void Apply(const LR0030& record) { row_.SetNc(record.Values[0]); }
    void Apply(const LR0041& record) { row_.SetMarkers(record.MarkersText()); }
    void Apply(const LR0050& record) { row_.SetReading(record.Reading, record.N, record.ApplFactor); }
    void Apply(const LR0060& record) { row_.SetNas(record.Nas); }

    void Apply(const TLogRecord& record) {
        switch (record.Id) {
        case 0x0000: Apply(static_cast<const LR0000&>(record)); break;
        case 0x0020: Apply(static_cast<const LR0020&>(record)); break;
        case 0x0030: Apply(static_cast<const LR0030&>(record)); break;
        case 0x0041: Apply(static_cast<const LR0041&>(record)); break;
        case 0x0050: Apply(static_cast<const LR0050&>(record)); break;
        case 0x0060: Apply(static_cast<const LR0060&>(record)); break;
        default: break;
        }
    }

    // The last row is written without the position test: with skipPositionCheck and no
    // position it is an empty line.
    void Finish() {
        if (row_.IsComplete(skipPosition_, skipReading_)) WriteRow();
    }

private:
    void WriteRow() {
        row_.CSVLine(sink_.LineBuffer());
        sink_.EndLine();
    }

    LineSink& sink_;
    bool skipPosition_, skipReading_;
    TCSVRecord row_;
};

// The records that fill the rows, read in place when they lie whole in the image and carry
// their class's own length: the same fields as through ReadRecord, without the factory, the
// virtual read and a check per value. Anything else (another type, another length, a record
// cut short) is left to ReadRecord.
class InPlaceRecords {
public:
    bool Apply(TBinaryStream& stream, RowBuilder& rows) {
        const std::uint8_t* prefix = stream.Peek(4);
        if (!prefix) return false;
        auto type = static_cast<std::uint16_t>(prefix[0] | (prefix[1] << 8));
        auto length = static_cast<std::uint16_t>(prefix[2] | (prefix[3] << 8));
        switch (type) {
        case 0x0000: return Read(stream, length, position_, rows);
        case 0x0020: return Read(stream, length, nasInteger_, rows);
        case 0x0030: return Read(stream, length, nc_, rows);
        case 0x0041: return Read(stream, length, markers_, rows);
        case 0x0050: return Read(stream, length, reading_, rows);
        case 0x0060: return Read(stream, length, nasSingle_, rows);
        default: return false;
        }
    }

private:
    template <typename Record>
    static bool Read(TBinaryStream& stream, std::uint16_t length, Record& record, RowBuilder& rows) {
        if (length != record.Length) return false;
        const std::uint8_t* bytes = stream.Claim(4 + length);
        if (!bytes) return false;
        ReadWhole(record, bytes + 4);
        rows.Apply(record);
        return true;
    }

    LR0000 position_;
    LR0020 nasInteger_;
    LR0030 nc_;
    LR0041 markers_;
    LR0050 reading_;
    LR0060 nasSingle_;
};

}  // namespace

void TWinLogFile::ConvertTo(LineSink& sink, const std::string& headerLine, bool skipPositionCheck,
                            bool skipReadingCheck) {
    if (!isWinLogFile_) return;
    sink.WriteLine(headerLine);
    RowBuilder rows(sink, skipPositionCheck, skipReadingCheck);
    InPlaceRecords inPlace;
    TBinaryStream& stream = Stream();
    while (!stream.Eof()) {
        if (!inPlace.Apply(stream, rows)) rows.Apply(ReadRecord());
    }
    rows.Finish();
    sink.Close();
}

}  // namespace korvex
