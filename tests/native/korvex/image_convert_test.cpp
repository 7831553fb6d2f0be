// The conversion of a log held in memory (ConvertImage) and the format test on the one image
// of a file (IdentifyLog): the same lines and results as the conversion from the file.
#include <gtest/gtest.h>

#include <cstring>

#include "ConvertFixture.h"
#include "FileImage.h"

using korvex::LogFormat;
using logwriter::BinaryLogWriter;

namespace {

korvex::FileImage ImageOf(const logwriter::Bytes& bytes) {
    korvex::FileImage image;
    image.bytes.reset(new std::uint8_t[bytes.empty() ? 1 : bytes.size()]);
    if (!bytes.empty()) std::memcpy(image.bytes.get(), bytes.data(), bytes.size());
    image.size = static_cast<std::int64_t>(bytes.size());
    return image;
}

// Collects the lines as the file would hold them, and whether the sink was closed.
class TextSink : public korvex::LineSink {
public:
    void WriteLine(const std::string& line) override {
        text += line + "\r\n";
        ++lines_;
    }
    void Close() override { closed = true; }
    std::string text;
    bool closed = false;
};

}  // namespace

TEST(ImageConversion, FormatIsToldFromTheSignatureOfTheImage) {
    const std::string signature = "RNSLOGFILE V1.00";
    struct Case {
        std::string bytes;
        LogFormat format;
    } cases[] = {
        {"", LogFormat::Legacy},
        {signature.substr(0, 15), LogFormat::Legacy},  // too short for a signature
        {signature, LogFormat::Binary},                // the signature alone is a log without records
        {"rnslogfile v1.00 and more", LogFormat::Binary},
        {"RNSLOGFILE V1.01", LogFormat::Legacy},
        {std::string("RNSLOGFILE\0V1.00", 16), LogFormat::Legacy},
    };
    for (const auto& c : cases) {
        logwriter::Bytes bytes(c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(korvex::IdentifyLog(ImageOf(bytes)), c.format) << '"' << c.bytes << '"';
    }
}

TEST(ImageConversion, GivesTheLinesOfTheFileConversionForBothFormats) {
    struct Case {
        logwriter::Bytes log;
        LogFormat format;
        std::uint64_t rows;
    } cases[] = {{BinarySample(), LogFormat::Binary, 5}, {LegacySample(), LogFormat::Legacy, 4}};
    for (const auto& c : cases) {
        for (std::uint32_t skip : {kTrue, kFalse}) {
            Conversion fromFile = ConvertBytes(c.log, skip, skip);
            TextSink sink;
            korvex::ConversionReport report = korvex::ConvertImage(ImageOf(c.log), sink, skip != 0, skip != 0);
            EXPECT_TRUE(report.ok) << report.error;
            EXPECT_EQ(report.format, c.format);
            EXPECT_TRUE(sink.closed);
            EXPECT_EQ(sink.text, fromFile.csv);
            if (skip) {
                EXPECT_EQ(report.rowsWritten, c.rows);
            }
            EXPECT_EQ(report.rowsWritten, DataLines(fromFile.csv).size());
        }
    }
}

TEST(ImageConversion, ALogCutShortReportsTheErrorAndTheRowsBefore) {
    auto log =
        BinaryLogWriter().Position(515000000, 75000000, 1).Reading(25, 100, 1).Position(515000000, 75000000, 2).Data();
    log.resize(log.size() - 3);  // inside the second position record
    TextSink sink;
    korvex::ConversionReport report = korvex::ConvertImage(ImageOf(log), sink, true, true);
    EXPECT_FALSE(report.ok);
    EXPECT_FALSE(report.error.empty());
    EXPECT_EQ(report.format, LogFormat::Binary);
    EXPECT_EQ(report.rowsWritten, 0u);  // the one row was still being collected
    EXPECT_FALSE(sink.closed);
    EXPECT_EQ(sink.text, kHeaderLine);
}
