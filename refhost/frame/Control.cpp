// The reference host's bookkeeping and the C functions through which tests drive it. Tests
// reach these with GetProcAddress on the very refhost.dll that COM loaded, so they see the
// objects the driver made. Everything runs on one apartment thread: no locking.
#include "Control.h"
#include "HostObject.h"

#include <deque>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace refhost {
namespace {

struct State {
    LONG callCount = 0;  // host calls since the last arm or reset
    LONG failAt = 0;     // 0: disarmed; k: the k-th call fails
    HRESULT failWith = S_OK;
    bool errorInfoSet = false;            // an injected failure left error information
    std::vector<unsigned short> log;      // call sites by id, in call order
    std::vector<const char*> siteNames;   // interned names by site id
    std::deque<std::string> nameStorage;  // stable homes of the interned names
    std::unordered_map<std::string_view, unsigned short> sites;
    std::map<std::string, LONG> live;  // nodes stay put: counters are held by reference
    std::set<std::wstring> disabled;   // ProgIDs switched off
};

State& Shared() {
    static State state;
    return state;
}

void SetInjectedErrorInfo(const char* name, const IID& iid, HRESULT hr) {
    ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.GetAddressOf()))) return;
    std::wstring text = L"reference host: injected failure of " + FromUtf8(name);
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(L"refhost"));
    create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
    (void)hr;
}

// Call names are stored once each and logged by their site id, so a long import stays cheap.
unsigned short SiteOf(const char* name) {
    State& s = Shared();
    auto found = s.sites.find(std::string_view(name));
    if (found != s.sites.end()) return found->second;
    s.nameStorage.emplace_back(name);
    auto id = static_cast<unsigned short>(s.siteNames.size());
    s.siteNames.push_back(s.nameStorage.back().c_str());
    s.sites.emplace(std::string_view(s.nameStorage.back()), id);
    return id;
}

LONG CopyText(const std::string& text, char* buffer, LONG size) {
    LONG needed = static_cast<LONG>(text.size()) + 1;
    if (buffer && size > 0) {
        LONG n = needed <= size ? needed - 1 : size - 1;
        memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return needed;
}

}  // namespace

CallSite RegisterCall(const char* interfaceName, const char* method, const IID& iid) {
    unsigned short id = SiteOf((std::string(interfaceName) + "." + method).c_str());
    return CallSite{id, Shared().siteNames[id], &iid};
}

HRESULT EnterCall(const CallSite& site) {
    State& s = Shared();
    s.log.push_back(site.id);
    ++s.callCount;
    if (s.failAt != 0 && s.callCount == s.failAt) {
        SetInjectedErrorInfo(site.name, *site.iid, s.failWith);
        s.errorInfoSet = true;
        return s.failWith;
    }
    if (s.errorInfoSet) {  // no stale information from an injected failure
        SetErrorInfo(0, nullptr);
        s.errorInfoSet = false;
    }
    return S_OK;
}

LONG& LiveCounter(const char* className) { return Shared().live[className]; }

LONG LiveObjects() {
    LONG total = 0;
    for (const auto& entry : Shared().live) total += entry.second;
    return total;
}

bool ClassEnabled(const wchar_t* progId) { return Shared().disabled.count(progId) == 0; }

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(n > 0 ? n : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

HRESULT ReadKey(const VARIANT& key, Key& out) {
    if (key.vt == VT_BSTR) {
        out.isText = true;
        out.text = TextOf(key.bstrVal);
        return S_OK;
    }
    VARIANT index;
    VariantInit(&index);
    HRESULT hr = VariantChangeType(&index, const_cast<VARIANT*>(&key), 0, VT_I4);
    if (FAILED(hr)) return hr;
    out.isText = false;
    out.index = index.lVal;
    return S_OK;
}

}  // namespace refhost

using namespace refhost;

extern "C" {

LONG RefHostLiveObjects(const char* className) {
    if (!className) return LiveObjects();
    auto found = Shared().live.find(className);
    return found == Shared().live.end() ? 0 : found->second;
}

void RefHostArmFailure(LONG k, HRESULT hr) {
    State& s = Shared();
    s.callCount = 0;
    s.failAt = k;
    s.failWith = hr;
}

LONG RefHostCallCount() { return Shared().callCount; }

void RefHostReset() {
    State& s = Shared();
    s.callCount = 0;
    s.failAt = 0;
    s.failWith = S_OK;
    s.log.clear();
    s.disabled.clear();
}

LONG RefHostCallLog(char* buffer, LONG size) {
    std::string text;
    for (unsigned short id : Shared().log) {
        text += Shared().siteNames[id];
        text += '\n';
    }
    return CopyText(text, buffer, size);
}

LONG RefHostDescribe(IUnknown* object, char* buffer, LONG size) {
    ComPtr<IRefHostObject> inspect;
    if (!object ||
        FAILED(object->QueryInterface(__uuidof(IRefHostObject), reinterpret_cast<void**>(inspect.GetAddressOf()))))
        return CopyText("null", buffer, size);
    try {
        Json description;
        inspect->Describe(description);
        return CopyText(description.dump(), buffer, size);
    } catch (...) {
        return CopyText("null", buffer, size);
    }
}

HRESULT RefHostConfigure(IUnknown* object, const char* settings) {
    ComPtr<IRefHostObject> inspect;
    if (!object || !settings) return E_POINTER;
    if (FAILED(object->QueryInterface(__uuidof(IRefHostObject), reinterpret_cast<void**>(inspect.GetAddressOf()))))
        return E_NOINTERFACE;
    try {
        return inspect->Configure(Json::parse(settings));
    } catch (const Json::exception&) {
        return E_INVALIDARG;
    } catch (...) {
        return E_FAIL;
    }
}

void RefHostSetClassEnabled(const wchar_t* progId, BOOL enabled) {
    if (!progId) return;
    if (enabled) Shared().disabled.erase(progId);
    else Shared().disabled.insert(progId);
}

}  // extern "C"
