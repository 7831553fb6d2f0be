#include "WinLogFile.h"

#include <cctype>

#include "KorvexError.h"
#include "WinLogCSVRecord.h"

namespace korvex {

const char* const kBinarySignature = "RNSLOGFILE V1.00";

namespace {

std::string UpperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

}  // namespace

TWinLogFile::TWinLogFile(const std::string& fileName) : FileName(fileName) {
    Identify();
}

TWinLogFile::TWinLogFile(FileImage image) : Stream_(std::make_unique<TBinaryStream>(std::move(image), 1)) {
    Identify();
}

void TWinLogFile::Identify() {
    try {
        Header_ = ReadHeader();
        isWinLogFile_ = UpperAscii(Header_.Signature) == kBinarySignature;
    } catch (const std::exception&) {
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

bool TWinLogFile::Eof() {
    return Stream().Eof();
}

TLogRecord& TWinLogFile::ReadRecord() {
    TBinaryStream& stream = Stream();
    recordStart_ = stream.GetPosition();
    std::int16_t type = stream.ReadSmallInt();
    std::uint16_t length = stream.ReadWord();
    TLogRecord& record = CreateRecord(type, length);
    record.Read(stream, length);
    return record;
}

void TWinLogFile::ConvertToCSV(const std::string& outputPath, const std::string& headerLine,
                               bool skipPositionCheck, bool skipReadingCheck) {
    if (!isWinLogFile_) return;
    FileLineSink sink(outputPath);
    ConvertTo(sink, headerLine, skipPositionCheck, skipReadingCheck);
}

void TWinLogFile::ConvertTo(LineSink& sink, const std::string& headerLine, bool skipPositionCheck,
                            bool skipReadingCheck) {
    if (!isWinLogFile_) return;
    sink.WriteLine(headerLine);
    TCSVRecord row;
    while (!Eof()) {
        TLogRecord& record = ReadRecord();
        switch (record.Id) {
        case 0x0000: {
            auto& position = static_cast<LR0000&>(record);
            if (!row.PositionMissing() && row.IsComplete(skipPositionCheck, skipReadingCheck)) {
                row.CSVLine(sink.LineBuffer());
                sink.EndLine();
                row.Clear();
            }
            row.SetPosition(position.Latitude, position.Longitude, position.Altitude);
            break;
        }
        case 0x0020: row.SetNas(static_cast<LR0020&>(record).Nas); break;
        case 0x0030: row.SetNc(static_cast<LR0030&>(record).Values[0]); break;
        case 0x0041: row.SetMarkers(static_cast<LR0041&>(record).MarkersText()); break;
        case 0x0050: {
            auto& reading = static_cast<LR0050&>(record);
            row.SetReading(reading.Reading, reading.N, reading.ApplFactor);
            break;
        }
        case 0x0060: row.SetNas(static_cast<LR0060&>(record).Nas); break;
        default: break;
        }
    }
    if (row.IsComplete(skipPositionCheck, skipReadingCheck)) {
        row.CSVLine(sink.LineBuffer());
        sink.EndLine();
    }
    sink.Close();
}

}  // namespace korvex
