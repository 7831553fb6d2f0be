// The host's session: it writes the import summary on request.
#pragma once
#include "frame/HostObject.h"

namespace refhost {

class CvnHostSession : public HostObject<CvnHostSession, IvnHostSession> {
public:
    static constexpr const char* kClassName = "vnHostSession";

    HRESULT STDMETHODCALLTYPE WriteSummary(BSTR fileName, LONG arg, VARIANT_BOOL* written) override {
        HOST_CALL(IvnHostSession, WriteSummary);
        summaries_.push_back({{"file", Utf8(TextOf(fileName))}, {"arg", arg}});
        if (written) *written = VARIANT_TRUE;
        return S_OK;
    }
    HOST_RESERVED(IvnHostSession, 3)
    HOST_RESERVED(IvnHostSession, 4)
    HOST_RESERVED(IvnHostSession, 5)
    HOST_RESERVED(IvnHostSession, 6)
    HOST_RESERVED(IvnHostSession, 7)
    HOST_RESERVED(IvnHostSession, 8)
    HOST_RESERVED(IvnHostSession, 9)
    HOST_RESERVED(IvnHostSession, 10)
    HOST_RESERVED(IvnHostSession, 11)
    HOST_RESERVED(IvnHostSession, 12)
    HOST_RESERVED(IvnHostSession, 13)
    HOST_RESERVED(IvnHostSession, 14)

    void Describe(Json& out) override { out = Json{{"summaries", summaries_}}; }

private:
    Json summaries_ = Json::array();
};

}  // namespace refhost
