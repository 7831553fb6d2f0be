#include "TerminalProgress.h"

#include <algorithm>
#include <cstdio>

namespace nivrahost {
namespace {
constexpr int kWidth = 40;
}

HRESULT TerminalProgress::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != __uuidof(IvnProgress)) return E_NOINTERFACE;
    *out = static_cast<IvnProgress*>(this);
    AddRef();
    return S_OK;
}

HRESULT TerminalProgress::SetRange(LONG, double low, double high) {
    low_ = low;
    high_ = high;
    Draw(0, true);
    return S_OK;
}

HRESULT TerminalProgress::SetPosition(double position, VARIANT_BOOL* result) {
    ++positions_;
    const double span = high_ - low_;
    // A converted log's positions count CSV bytes against the log's size: keep the bar in range.
    const double share = span > 0 ? std::clamp((position - low_) / span, 0.0, 1.0) : 1.0;
    Draw(static_cast<int>(share * kWidth), false);
    if (result) *result = VARIANT_TRUE;
    return S_OK;
}

HRESULT TerminalProgress::Finish() {
    Draw(kWidth, true);
    if (visible_) std::fputc('\n', stderr);
    return S_OK;
}

void TerminalProgress::Draw(int filled, bool force) {
    if (!visible_ || (!force && filled == drawn_)) return;
    drawn_ = filled;
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = '\0';
    std::fprintf(stderr, "\r[%s] %3d%%", bar, filled * 100 / kWidth);
    std::fflush(stderr);
}

}  // namespace nivrahost
