// What a fuzz entry does when the code under test breaks one of its promises: it throws
// CheckFailed. Under libFuzzer the exception is uncaught, so the run aborts and keeps the
// input; the regression table test catches it and names the input file.
#pragma once
#include <stdexcept>
#include <string>

namespace nivrafuzz {

class CheckFailed : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

inline void Check(bool promiseHolds, const std::string& promise) {
    if (!promiseHolds) throw CheckFailed(promise);
}

}  // namespace nivrafuzz
