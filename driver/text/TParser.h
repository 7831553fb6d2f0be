// TParser: splits one line of delimited text into numbered fields and reads a field as text
// or as a number. Used for the log CSV, for "fields.txt" beside the logs and for the
// publisher's text files when they are read back.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace nivra {

class TParser {
public:
    explicit TParser(char separator);

    // Splits `line` (NUL-terminated) and returns the number of fields. Surrounding double
    // quotes are removed, a doubled quote inside quotes gives one quote, a separator, CR or LF
    // inside quotes is field text, and leading blanks of a field are skipped. `limit` < 0
    // means no limit on the number of fields.
    std::int32_t Parse(const char* line, std::int32_t limit = -1);

    std::int32_t Count() const { return count_; }

    // Field `number` (1-based); empty when out of range or when the field has no text.
    std::string GetText(std::int32_t number) const;

    // Reads the field like a "%lf" scan: blanks skipped, then the longest prefix that forms a
    // decimal number, with "." as the decimal separator whatever the locale. `value` is
    // written only when something was converted.
    bool GetDouble(std::int32_t number, double& value) const;

    // The same for a "%ld" scan into a 32-bit long. A number beyond the 32-bit range is
    // clamped to INT32_MIN or INT32_MAX.
    bool GetLong(std::int32_t number, std::int32_t& value) const;

private:
    static constexpr std::size_t kNoItem = static_cast<std::size_t>(-1);

    const char* FieldText(std::int32_t number) const;
    void Prepare(std::size_t length);
    void StartFieldIfNeeded(const char* line, std::size_t position, std::size_t output);

    char separator_;
    std::vector<char> data_;          // the line's field texts, each ended by a NUL
    std::vector<std::size_t> items_;  // start of field i in data_, or kNoItem
    std::int32_t count_ = 0;
    bool atFieldStart_ = true;
};

// Scans a decimal number the way "%lf" does. Returns false when no digit was found.
bool ScanDouble(const char* text, double& value);

// Scans a decimal integer the way "%ld" does on a 32-bit long, clamping on overflow.
bool ScanLong(const char* text, std::int32_t& value);

}  // namespace nivra
