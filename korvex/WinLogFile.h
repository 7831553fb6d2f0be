// TWinLogFile: recognises the binary log by its header signature and converts it to the log
// CSV, one row per position record and the records that follow it.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "BinaryStream.h"
#include "FileImage.h"
#include "WinLogRecord.h"

namespace korvex {

extern const char* const kBinarySignature;  // "RNSLOGFILE V1.00"

// Whether the first bytes of a file are the binary log's signature, without regard to case.
bool IsBinarySignature(const char* bytes, std::size_t size);

class TWinLogFile {
public:
    // Never fails: an unreadable, short or foreign file gives IsWinLogFile() == false.
    explicit TWinLogFile(const std::string& fileName);
    // The same over a log already in memory.
    explicit TWinLogFile(FileImage image);

    bool IsWinLogFile() const { return isWinLogFile_; }
    const LRHeader& Header() const { return Header_; }
    bool Eof();
    TLogRecord& ReadRecord();
    // The file offset at which the last ReadRecord began; -1 before the first.
    std::int64_t RecordStart() const { return recordStart_; }
    TLogRecord& CreateRecord(std::int16_t type, std::uint16_t length) { return factory_.CreateRecord(type, length); }

    void ConvertToCSV(const std::string& outputPath, const std::string& headerLine, bool skipPositionCheck,
                      bool skipReadingCheck);
    // The conversion proper, into any line sink; the sink is closed on every path.
    void ConvertTo(LineSink& sink, const std::string& headerLine, bool skipPositionCheck, bool skipReadingCheck);

private:
    TBinaryStream& Stream();
    LRHeader ReadHeader();
    void Identify();

    std::string FileName;
    std::unique_ptr<TBinaryStream> Stream_;
    LRHeader Header_;
    bool isWinLogFile_ = false;
    std::int64_t recordStart_ = -1;
    TRecordFactory factory_;
};

}  // namespace korvex
