#include "KorvexImage.h"

#include <cstring>
#include <string>

#include "FileImage.h"
#include "FuzzCheck.h"
#include "WinLogFile.h"
#include "korvex.h"

namespace nivrafuzz {
namespace {

using korvex::LogFormat;

// One data line of the CSV: 13 columns, each empty or a number (digits, sign, point), padded
// on the left to its printf width ("%4.1f" of Nc), no line end.
bool IsDataLine(const std::string& line) {
    int commas = 0;
    bool columnStart = true, padding = false;
    for (char c : line) {
        if (c == ',') {
            ++commas;
            columnStart = true;
            continue;
        }
        if (c == ' ') {
            if (!columnStart && !padding) return false;
            padding = true;
        } else if ((c >= '0' && c <= '9') || c == '-' || c == '.') {
            padding = false;
        } else {
            return false;
        }
        columnStart = false;
    }
    return commas == 12;
}

// Checks each line as it is written; nothing is kept, so a conversion costs no output. The
// first broken promise is kept for the entry to raise: an exception thrown here would end
// the conversion as a failed one instead.
class CheckingSink : public korvex::LineSink {
public:
    explicit CheckingSink(bool emptyLastLineAllowed) : emptyLastLineAllowed_(emptyLastLineAllowed) {}

    void WriteLine(const std::string& line) override {
        Expect(!closed_, "no line is written after the sink was closed");
        Expect(!emptyLineSeen_, "an empty line is the last line of the CSV");
        if (lines_ == 0) {
            Expect(line == korvex::kCsvHeader, "the first line is the CSV header");
        } else if (line.empty()) {
            // The binary converter's last row without a position, when the position check is off.
            Expect(emptyLastLineAllowed_, "a data line is empty only for a binary log without the position check");
            emptyLineSeen_ = true;
        } else if (!IsDataLine(line)) {
            Expect(false, "a data line has 13 numeric columns: '" + line + "'");
        }
        ++lines_;
    }
    void Close() override {
        Expect(!closed_, "the sink is closed once");
        closed_ = true;
    }
    bool Closed() const { return closed_; }
    const std::string& Broken() const { return broken_; }

private:
    void Expect(bool promiseHolds, const char* promise) {
        if (!promiseHolds && broken_.empty()) broken_ = promise;
    }
    void Expect(bool promiseHolds, const std::string& promise) {
        if (!promiseHolds && broken_.empty()) broken_ = promise;
    }

    std::string broken_;
    bool emptyLastLineAllowed_;
    bool closed_ = false;
    bool emptyLineSeen_ = false;
};

korvex::FileImage ImageOf(const std::uint8_t* header, std::size_t headerSize, const std::uint8_t* body,
                          std::size_t bodySize) {
    korvex::FileImage image;
    const std::size_t size = headerSize + bodySize;
    image.bytes.reset(new std::uint8_t[size > 0 ? size : 1]);
    if (headerSize) std::memcpy(image.bytes.get(), header, headerSize);
    if (bodySize) std::memcpy(image.bytes.get() + headerSize, body, bodySize);
    image.size = static_cast<std::int64_t>(size);
    return image;
}

void CheckReport(const korvex::ConversionReport& report, const CheckingSink& sink, std::int64_t size) {
    if (report.ok) {
        Check(sink.Closed(), "the sink is closed when the conversion ran to its end");
        Check(report.errorOffset == -1, "no error offset after a conversion that ran to its end");
        return;
    }
    // Only a binary record cut short by the end of the file ends a conversion early.
    Check(report.format == LogFormat::Binary, "an older-format conversion always runs to its end", report.error);
    Check(!report.error.empty(), "a failed conversion says why");
    Check(report.errorOffset >= 512 && report.errorOffset < size,
          "the error offset is a record's start after the header", std::to_string(report.errorOffset));
}

}  // namespace

void ConvertAsLog(const std::uint8_t* data, std::size_t size, const std::vector<std::uint8_t>& header) {
    const std::uint8_t flags = size > 0 ? data[0] : 0;
    if (size > 0) {
        ++data;
        --size;
    }
    const bool skipPosition = flags & 1, skipReading = flags & 2, whole = flags & 4;
    korvex::FileImage image =
        whole ? ImageOf(nullptr, 0, data, size) : ImageOf(header.data(), header.size(), data, size);
    const std::int64_t imageSize = image.size;
    const LogFormat format = korvex::IdentifyLog(image);
    const bool signature = korvex::IsBinarySignature(reinterpret_cast<const char*>(image.bytes.get()),
                                                     static_cast<std::size_t>(imageSize));
    Check((format == LogFormat::Binary) == signature, "the format is Binary exactly when the signature is there");

    CheckingSink sink(format == LogFormat::Binary && skipPosition);
    const korvex::ConversionReport report = korvex::ConvertImage(std::move(image), sink, skipPosition, skipReading);
    Check(sink.Broken().empty(), "every line written keeps the CSV's promises", sink.Broken());
    Check(report.format == format, "the conversion reports the format IdentifyLog gave");
    CheckReport(report, sink, imageSize);
}

}  // namespace nivrafuzz
