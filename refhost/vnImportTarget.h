// An import target that has no data store of its own (it does not answer IvnDataStore): the
// host's session only. The usual target is the data store itself (vnDataStore.h).
#pragma once
#include "frame/HostObject.h"
#include "vnHostSession.h"

namespace refhost {

class CvnImportTarget : public HostObject<CvnImportTarget, IvnImportTarget> {
public:
    static constexpr const char* kClassName = "vnImportTarget";

    CvnImportTarget() : session_(CvnHostSession::Make()) {}

    HRESULT STDMETHODCALLTYPE get_Session(IvnHostSession** session) override {
        HOST_CALL(IvnImportTarget, get_Session);
        return GiveOut(session_, session);
    }

    void Describe(Json& out) override {
        out = Json::object();
        session_->Describe(out["session"]);
    }

private:
    ComPtr<CvnHostSession> session_;
};

}  // namespace refhost
