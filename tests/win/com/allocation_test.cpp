// The file object's text slots with every allocation of the driver failing in turn: each call
// ends in E_OUTOFMEMORY with a NULL text, or succeeds; no exception leaves a slot.
#include "AllocationSwitch.h"
#include "ComTestSupport.h"
#include "import/CNivraFile.h"

namespace {

using namespace comtest;
using nivra::CNivraFile;

// Long enough that every part of it lives on the heap, not in a string's own buffer.
const std::string kPath = "C:\\Terminal card of the season\\North field, first pass\\Log_North_Field_260412.log";

TEST(AllocationFailure, FileObjectTextSlotsEndInOutOfMemoryOrSucceed) {
    CNivraFile* made = nullptr;
    ASSERT_EQ(S_OK, CNivraFile::Create(&made));
    ComPtr<CNivraFile> object(made);
    object->SetPath(kPath);
    ComPtr<IvnFile> file;
    ASSERT_EQ(S_OK, object->QueryInterface(__uuidof(IvnFile), reinterpret_cast<void**>(file.GetAddressOf())));

    using Slot = HRESULT (STDMETHODCALLTYPE IvnFile::*)(BSTR*);
    // `makesStrings`: the slot builds new strings from the path, so the switch must be met.
    const struct {
        const char* name;
        Slot slot;
        bool makesStrings;
    } slots[] = {{"FullName", &IvnFile::FullName, false}, {"Path", &IvnFile::Path, false},
                 {"Folder", &IvnFile::Folder, true},      {"Title", &IvnFile::Title, true},
                 {"Extension", &IvnFile::Extension, false}};
    for (const auto& s : slots) {
        int failures = 0;
        for (std::size_t k = 1;; ++k) {
            BSTR text = reinterpret_cast<BSTR>(1);
            allocswitch::Arm(k);
            const HRESULT hr = (file.Get()->*s.slot)(&text);
            const bool fired = allocswitch::Fired();
            allocswitch::Arm(0);
            if (!fired) {
                EXPECT_EQ(hr, S_OK) << s.name;
                EXPECT_NE(text, nullptr) << s.name;
                SysFreeString(text);
                break;
            }
            ++failures;
            EXPECT_EQ(hr, E_OUTOFMEMORY) << s.name << ", allocation " << k;
            EXPECT_EQ(text, nullptr) << s.name << ", allocation " << k;
            if (hr == S_OK) SysFreeString(text);
        }
        if (s.makesStrings) {
            EXPECT_GT(failures, 0) << s.name;
        }
    }
}

}  // namespace
