// CNivraFile: one data file the driver offers to the host's file list. The import fills in
// its path and its size entry directly; the host reads its texts and properties and sets its
// mark through IvnFile.
#pragma once
#include <string>

#include "com/ComObject.h"
#include "com/ComOwners.h"
#include "com/NullDispatch.h"
#include "host/DriverInterfaces.h"
#include "host/HostInterfaces.h"

namespace nivra {

class CNivraFile final : public ComObject<NullDispatch, IvnFile> {
public:
    CNivraFile();

    // Makes a new file object with reference count 0; the caller takes the first reference.
    // E_POINTER for a NULL out pointer, E_OUTOFMEMORY when it cannot be made.
    static HRESULT Create(CNivraFile** out);

    void SetPath(std::string path) { path_ = std::move(path); }
    const std::string& PathText() const { return path_; }
    // The host's property list made at construction; null without the host's property class.
    IvnProperties* PropertyList() const { return properties_.Get(); }

    // IvnFile
    HRESULT STDMETHODCALLTYPE FullName(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE Path(BSTR* path) override;
    HRESULT STDMETHODCALLTYPE Folder(BSTR* folder) override;
    HRESULT STDMETHODCALLTYPE Title(BSTR* title) override;
    HRESULT STDMETHODCALLTYPE Extension(BSTR* extension) override;
    HRESULT STDMETHODCALLTYPE Slot8(VARIANT_BOOL* answer) override;
    HRESULT STDMETHODCALLTYPE Slot9(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE Properties(IvnProperties** properties) override;
    HRESULT STDMETHODCALLTYPE get_Selected(VARIANT_BOOL* selected) override;
    HRESULT STDMETHODCALLTYPE put_Selected(VARIANT_BOOL selected) override;
    HRESULT STDMETHODCALLTYPE get_Slot13(VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE put_Slot14(VARIANT value) override;

protected:
    void* FindInterface(REFIID iid) override;

private:
    std::string path_;
    ComPtr<IvnProperties> properties_;
    VARIANT_BOOL selected_ = VARIANT_FALSE;
    Variant storedValue_;
};

// The shell's decomposition of a file path, each made on a copy of the path.
std::string FolderOfPath(const std::string& path);
std::string TitleOfPath(const std::string& path);
std::string ExtensionOfPath(const std::string& path);

}  // namespace nivra
