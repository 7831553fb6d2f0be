// The host's progress display on a terminal: a bar on the error stream, redrawn only when
// its width in characters changes, so a run of a million rows costs little.
#pragma once
#include <windows.h>

#include "host/HostInterfaces.h"

namespace nivrahost {

class TerminalProgress final : public IvnProgress {
public:
    // Draws nothing when `visible` is false (output not a terminal, or --quiet).
    explicit TerminalProgress(bool visible) : visible_(visible) {}
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    // Lives on the command's stack: the counts only check that the driver gave back its references.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE SetRange(LONG mode, double low, double high) override;
    HRESULT STDMETHODCALLTYPE SetPosition(double position, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE Finish() override;

    ULONG References() const { return references_; }
    long Positions() const { return positions_; }

private:
    void Draw(int filled, bool force);

    bool visible_;
    ULONG references_ = 1;
    double low_ = 0.0;
    double high_ = 0.0;
    int drawn_ = -1;
    long positions_ = 0;
};

}  // namespace nivrahost
