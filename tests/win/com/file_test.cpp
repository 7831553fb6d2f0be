// The file object the import hands to the host's list, made through its in-DLL creator:
// the shell's path decomposition, the mark and the value the host may attach.
#include "ComTestSupport.h"
#include "import/CNivraFile.h"

namespace {

using namespace comtest;
using nivra::CNivraFile;

::testing::Environment* const com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

ComPtr<IvnFile> NewFile(const std::string& path) {
    CNivraFile* file = nullptr;
    EXPECT_EQ(S_OK, CNivraFile::Create(&file));
    ComPtr<IvnFile> result;
    if (file) {
        file->SetPath(path);
        EXPECT_EQ(S_OK, file->QueryInterface(__uuidof(IvnFile), reinterpret_cast<void**>(result.GetAddressOf())));
    }
    return result;
}

TEST(FileObject, CreatorRejectsANullPointer) { EXPECT_EQ(E_POINTER, CNivraFile::Create(nullptr)); }

TEST(FileObject, PathDecomposition) {
    struct Case {
        const char* path;
        const char* folder;
        const char* title;
        const char* extension;
    } cases[] = {
        {"C:\\CARD\\2008\\N0001.LOG", "C:\\CARD\\2008", "N0001", "LOG"},
        {"D:\\LOGS\\a.b.csv", "D:\\LOGS", "a.b", "csv"},
        {"D:\\LOGS\\FIELD1", "D:\\LOGS", "FIELD1", ""},
        {"C:\\FIELD1.LOG", "C:\\", "FIELD1", "LOG"},
        {"D:\\LOGS.OLD\\FIELD1", "D:\\LOGS.OLD", "FIELD1", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        ComPtr<IvnFile> file = NewFile(c.path);
        ASSERT_TRUE(file) << c.path;
        EXPECT_EQ(c.path, TextOf([&](BSTR* t) { return file->FullName(t); })) << c.path;
        EXPECT_EQ(c.path, TextOf([&](BSTR* t) { return file->Path(t); })) << c.path;
        EXPECT_EQ(c.folder, TextOf([&](BSTR* t) { return file->Folder(t); })) << c.path;
        EXPECT_EQ(c.title, TextOf([&](BSTR* t) { return file->Title(t); })) << c.path;
        EXPECT_EQ(c.extension, TextOf([&](BSTR* t) { return file->Extension(t); })) << c.path;
    }
}

TEST(FileObject, TextGettersRejectNullAndAnswerEmptyNotNull) {
    ComPtr<IvnFile> file = NewFile("C:\\CARD\\A.LOG");
    ASSERT_TRUE(file);
    using Getter = HRESULT (STDMETHODCALLTYPE IvnFile::*)(BSTR*);
    for (Getter getter :
         {&IvnFile::FullName, &IvnFile::Path, &IvnFile::Folder, &IvnFile::Title, &IvnFile::Extension, &IvnFile::Slot9})
        EXPECT_EQ(E_INVALIDARG, (file.Get()->*getter)(nullptr));
    nivra::Bstr empty;
    ASSERT_EQ(S_OK, file->Slot9(empty.Out()));
    ASSERT_NE(nullptr, empty.Get()) << "an empty text, not NULL";
    EXPECT_EQ(0u, empty.Length());
    VARIANT_BOOL answer = VARIANT_TRUE;
    EXPECT_EQ(S_OK, file->Slot8(&answer));
    EXPECT_EQ(VARIANT_FALSE, answer);
    EXPECT_EQ(E_INVALIDARG, file->Slot8(nullptr));
}

TEST(FileObject, SelectedMarkIsStoredUnchanged) {
    ComPtr<IvnFile> file = NewFile("C:\\CARD\\A.LOG");
    ASSERT_TRUE(file);
    for (VARIANT_BOOL mark : {VARIANT_TRUE, VARIANT_FALSE, static_cast<VARIANT_BOOL>(1)}) {
        EXPECT_EQ(S_OK, file->put_Selected(mark));
        VARIANT_BOOL read = 0x55;
        EXPECT_EQ(S_OK, file->get_Selected(&read));
        EXPECT_EQ(mark, read);
    }
    EXPECT_EQ(E_INVALIDARG, file->get_Selected(nullptr));
}

TEST(FileObject, StoredValueIsCopiedBothWays) {
    ComPtr<IvnFile> file = NewFile("C:\\CARD\\A.LOG");
    ASSERT_TRUE(file);
    nivra::Variant empty;
    empty.Get()->vt = VT_I4;
    ASSERT_EQ(S_OK, file->get_Slot13(empty.Get()));
    EXPECT_EQ(VT_EMPTY, empty.Get()->vt) << "VT_EMPTY after construction";

    nivra::Variant given = nivra::Variant::Text(L"attached");
    ASSERT_EQ(S_OK, file->put_Slot14(*given.Get()));
    given.Clear();  // the caller's value stays the caller's
    nivra::Variant first, second;
    ASSERT_EQ(S_OK, file->get_Slot13(first.Get()));
    ASSERT_EQ(S_OK, file->get_Slot13(second.Get()));
    ASSERT_EQ(VT_BSTR, first.Get()->vt);
    EXPECT_EQ("attached", Narrow(first.Get()->bstrVal));
    EXPECT_NE(first.Get()->bstrVal, second.Get()->bstrVal) << "each get is a separate copy";
    first.Clear();
    nivra::Variant third;
    ASSERT_EQ(S_OK, file->get_Slot13(third.Get()));
    EXPECT_EQ("attached", Narrow(third.Get()->bstrVal));
    EXPECT_EQ(E_POINTER, file->get_Slot13(nullptr));
}

TEST(FileObject, DispatchExposesNothing) {
    ComPtr<IvnFile> file = NewFile("C:\\CARD\\A.LOG");
    ASSERT_TRUE(file);
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, file.As(&dispatch));
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
              dispatch->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    // Linked into this program, the object's module file is the test program, which holds no
    // type library: the count is 0 and the call still succeeds.
    UINT count = 9;
    EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(0u, count);
    ComPtr<ITypeInfo> info;
    EXPECT_TRUE(FAILED(dispatch->GetTypeInfo(0, 0, info.GetAddressOf())));
    EXPECT_FALSE(info);
    ComPtr<IvnTESK> driver;
    EXPECT_EQ(E_NOINTERFACE, file.As(&driver));
}

}  // namespace
