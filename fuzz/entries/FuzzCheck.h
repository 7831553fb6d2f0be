// What a fuzz entry does when the code under test breaks one of its promises: it throws
// CheckFailed. Under libFuzzer the exception is uncaught, so the run aborts and keeps the
// input; the regression table test catches it and names the input file.
#pragma once
#include <stdexcept>
#include <string>
#include <string_view>

namespace nivrafuzz {

class CheckFailed : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// The message is built only when the promise is broken: the checks run many times on every
// input, and a string put together for each of them would cost more than the code checked.
inline void Check(bool promiseHolds, const char* promise) {
    if (!promiseHolds) throw CheckFailed(promise);
}

// `subject` is what the promise is about (a line, a field, an error message), quoted after it.
inline void Check(bool promiseHolds, const char* promise, std::string_view subject) {
    if (!promiseHolds) throw CheckFailed(std::string(promise) + ": '" + std::string(subject) + "'");
}

}  // namespace nivrafuzz
